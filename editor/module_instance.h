// The instance handle of the module this code is linked into.  We live in the
// host's process: our window classes are registered under our own module,
// never under the host's executable.
#pragma once

#include <windows.h>

HINSTANCE module_instance(void);
