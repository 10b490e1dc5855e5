#pragma once

#include <QByteArray>

// The program's resources are files compiled into the binary (Qt resource system) under
// ":/resources/<kind>/<id>.<ext>"; the resources/ library registers them.
namespace platform::draw {

enum class ResourceKind { Bitmap, Icon };

// The bytes of resource id of the kind; empty when the program has no such resource.
QByteArray FindResourceBytes(ResourceKind kind, unsigned id);

}  // namespace platform::draw
