#include "resources/program_resources.h"

#include "platform/window/string_resources.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"

void RegisterProgramResources() {
    RegisterDialogTemplates();
    platform::window::RegisterString(IDS_ABOUTBOX, "&About Sectorsmith...");
}
