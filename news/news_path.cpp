#include "news_path.h"

#include <stdlib.h>
#include <string.h>
#include <windows.h>

static const wchar_t vendor_folder[] = L"\\Morvo.PHONICS";

wchar_t* news_build_path(bool directory_only, const char* const* components, int component_count)
{
    DWORD appdata_size = GetEnvironmentVariableW(L"APPDATA", NULL, 0);
    if (appdata_size <= 1)
        return NULL;
    int used_count = directory_only ? component_count - 1 : component_count;
    if (used_count < 0)
        return NULL;

    // Measure first, so the path is one block; each component costs its
    // characters plus the backslash in place of its terminator.
    size_t length = appdata_size - 1 + wcslen(vendor_folder);
    for (int i = 0; i < used_count; ++i) {
        int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, components[i], -1, NULL, 0);
        if (size <= 1)
            return NULL;
        length += size;
    }

    wchar_t* path = (wchar_t*)malloc((length + 1) * sizeof(wchar_t));
    if (!path)
        return NULL;
    DWORD appdata_length = GetEnvironmentVariableW(L"APPDATA", path, appdata_size);
    // Zero, or a value that grew between the two calls, is no path.
    if (appdata_length == 0 || appdata_length >= appdata_size) {
        free(path);
        return NULL;
    }
    size_t at = appdata_length;
    wcscpy(path + at, vendor_folder);
    at += wcslen(vendor_folder);
    for (int i = 0; i < used_count; ++i) {
        path[at++] = L'\\';
        int room = (int)(length + 1 - at);
        int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, components[i], -1, path + at, room);
        if (size <= 1) {
            free(path);
            return NULL;
        }
        at += size - 1;
    }
    path[at] = 0;
    return path;
}

static bool is_separator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

static size_t skip_name(const wchar_t* path, size_t at)
{
    while (path[at] && !is_separator(path[at]))
        ++at;
    return at;
}

static size_t skip_server_and_share(const wchar_t* path, size_t at)
{
    at = skip_name(path, at);
    if (is_separator(path[at]))
        ++at;
    return skip_name(path, at);
}

size_t news_path_root_length(const wchar_t* path)
{
    if (path[0] == L'\\' && path[1] == L'\\') {
        if ((path[2] == L'?' || path[2] == L'.') && path[3] == L'\\') {
            if (wcsncmp(path + 4, L"UNC\\", 4) == 0)
                return skip_server_and_share(path, 8);
            if (path[4] && path[5] == L':')
                return 6;
            return 4;
        }
        return skip_server_and_share(path, 2);
    }
    if (path[0] && path[1] == L':')
        return 2;
    return 0;
}

// CreateDirectoryW also reports "already exists" for a file of that name,
// which is no folder to put files in.
static bool folder_exists(const wchar_t* path)
{
    if (GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int news_make_dirs(bool directory_only, const char* const* components, int component_count)
{
    wchar_t* path = news_build_path(directory_only, components, component_count);
    if (!path)
        return -1;
    int result = 0;
    size_t at = news_path_root_length(path);
    while (is_separator(path[at]))
        ++at;
    while (path[at]) {
        at = skip_name(path, at);
        // Each prefix of the path in turn, cut off in place.
        wchar_t kept = path[at];
        path[at] = 0;
        bool exists = CreateDirectoryW(path, NULL) || folder_exists(path);
        path[at] = kept;
        if (!exists) {
            result = -1;
            break;
        }
        while (is_separator(path[at]))
            ++at;
    }
    free(path);
    return result;
}
