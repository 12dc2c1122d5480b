#include "module_instance.h"

HINSTANCE module_instance(void)
{
    HMODULE module = NULL;
    // Any address inside this module names it; the reference count is left alone.
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       (LPCWSTR)(void*)&module_instance, &module);
    return module;
}
