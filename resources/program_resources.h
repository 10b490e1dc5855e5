#pragma once

// Makes the program's dialog templates and strings known to the window layer.
void RegisterProgramResources();
