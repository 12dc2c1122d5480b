#include "module_entry.h"

#include <windows.h>

#include <cstdlib>

#include "module_folders.h"

int32_t module_attach_count = 0;
char* module_dir = nullptr;
char* resources_dir = nullptr;

// The module's full path, read into a buffer doubled until the path fits.
static char* module_path()
{
    HMODULE self;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            (LPCSTR)&module_attach_count, &self))
        return nullptr;
    DWORD size = 260;
    char* path = (char*)malloc(size);
    while (path != nullptr) {
        DWORD length = GetModuleFileNameA(self, path, size);
        if (length == 0)
            break;
        if (length < size)
            return path;
        size *= 2;
        char* grown = (char*)realloc(path, size);
        if (grown == nullptr)
            break;
        path = grown;
    }
    free(path);
    return nullptr;
}

static BOOL module_attach()
{
    if (module_attach_count != 0) {
        ++module_attach_count;
        return TRUE;
    }
    char* path = module_path();
    if (path == nullptr)
        return FALSE;
    int derived = module_folders_from_path(path, &module_dir, &resources_dir);
    free(path);
    if (derived != 0)
        return FALSE;
    ++module_attach_count;
    return TRUE;
}

static void module_detach()
{
    // After a failed attach the loader still sends a detach; there is nothing to match.
    if (module_attach_count == 0 || --module_attach_count != 0)
        return;
    free(resources_dir);
    free(module_dir);
    resources_dir = nullptr;
    module_dir = nullptr;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        return module_attach();
    if (reason == DLL_PROCESS_DETACH)
        module_detach();
    return TRUE;
}
