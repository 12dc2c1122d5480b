#include "webview2_loader.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

int webview2_loader_open(const char* binary_dir, HMODULE* library, create_environment_with_options_fn* entry)
{
    if (!binary_dir)
        return -1;
    size_t size = strlen(binary_dir) + 21;
    char* path = (char*)malloc(size);
    if (!path)
        return -1;
    snprintf(path, size, "%s\\WebView2Loader.dll", binary_dir);
    HMODULE module = LoadLibraryA(path);
    free(path);
    if (!module)
        return -1;
    FARPROC proc = GetProcAddress(module, "CreateCoreWebView2EnvironmentWithOptions");
    if (!proc) {
        FreeLibrary(module);
        return -1;
    }
    *library = module;
    *entry = (create_environment_with_options_fn)(void*)proc;
    return 0;
}

wchar_t* webview2_page_path(const char* resources_dir)
{
    if (!resources_dir)
        return NULL;
    int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, resources_dir, -1, NULL, 0);
    if (units <= 0)
        return NULL;
    wchar_t* path = (wchar_t*)malloc(((size_t)units + 23) * sizeof(wchar_t));
    if (!path)
        return NULL;
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, resources_dir, -1, path, units);
    wcscat(path, L"\\index.html");
    return path;
}

wchar_t* webview2_reserve_user_data_name(void)
{
    wchar_t folder[MAX_PATH + 2];
    DWORD length = GetTempPathW(MAX_PATH + 2, folder);
    if (length == 0 || length > MAX_PATH + 1)
        return NULL;
    wchar_t* name = (wchar_t*)malloc((MAX_PATH + 2) * sizeof(wchar_t));
    if (!name)
        return NULL;
    if (!GetTempFileNameW(folder, L"vino", 0, name)) {
        free(name);
        return NULL;
    }
    return name;
}
