// What the module keeps from its load: the folders it was loaded from.
#pragma once

#include <cstdint>

// Process attaches not yet matched by a detach.
extern int32_t module_attach_count;
// The folder holding the module file (ANSI code page), and the "Resources"
// folder beside it (UTF-8).  Set while the module is attached; read-only.
extern char* module_dir;
extern char* resources_dir;
