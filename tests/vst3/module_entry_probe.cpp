// A module built around the real entry point, for tests: it reports what the
// entry point keeps, so that its folder derivation can be seen from outside.
#include "module_entry.h"

extern "C" void probe_module_state(int32_t* attach_count, const char** dir, const char** resources)
{
    *attach_count = module_attach_count;
    *dir = module_dir;
    *resources = resources_dir;
}
