#include "module_folders.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

// The ANSI text as a malloc'd UTF-8 string with room for `extra` more bytes
// after its terminator; null on failure.
static char* utf8_from_ansi(const char* ansi, size_t extra)
{
    int wide_len = MultiByteToWideChar(CP_ACP, 0, ansi, -1, nullptr, 0);
    if (wide_len <= 0)
        return nullptr;
    wchar_t* wide = (wchar_t*)malloc((size_t)wide_len * sizeof(wchar_t));
    if (wide == nullptr)
        return nullptr;
    char* utf8 = nullptr;
    int utf8_len = 0;
    if (MultiByteToWideChar(CP_ACP, 0, ansi, -1, wide, wide_len) == wide_len)
        utf8_len = WideCharToMultiByte(CP_UTF8, 0, wide, wide_len, nullptr, 0, nullptr, nullptr);
    if (utf8_len > 0)
        utf8 = (char*)malloc((size_t)utf8_len + extra);
    if (utf8 != nullptr && WideCharToMultiByte(CP_UTF8, 0, wide, wide_len, utf8, utf8_len, nullptr, nullptr) != utf8_len) {
        free(utf8);
        utf8 = nullptr;
    }
    free(wide);
    return utf8;
}

int module_folders_from_path(char* path, char** module_dir, char** resources_dir)
{
    char* file_sep = strrchr(path, '\\');
    if (file_sep == nullptr)
        return -1;
    *file_sep = '\0';
    char* dir = strdup(path);
    if (dir == nullptr)
        return -1;

    // The resources folder is a sibling of the module's folder.  A module in
    // a drive's root folder has no folder above; its own stands in for it.
    char* dir_sep = strrchr(path, '\\');
    if (dir_sep != nullptr)
        *dir_sep = '\0';
    static const char resources[] = "\\Resources";
    char* res = utf8_from_ansi(path, 12);
    if (res == nullptr) {
        free(dir);
        return -1;
    }
    memcpy(res + strlen(res), resources, sizeof resources);

    *module_dir = dir;
    *resources_dir = res;
    return 0;
}
