#include "external_link.h"

#include <stdlib.h>
#include <wchar.h>
#include <windows.h>

static int has_scheme(const wchar_t* uri, const wchar_t* scheme)
{
    size_t n = wcslen(scheme);
    return _wcsnicmp(uri, scheme, n) == 0;
}

// A double quote would end the quoted argument; control characters have no
// place in an address and may be read as separators.
static int is_safe_on_command_line(const wchar_t* uri)
{
    for (const wchar_t* c = uri; *c; ++c)
        if (*c == L'"' || *c < 0x20 || (*c >= 0x7F && *c <= 0x9F))
            return 0;
    return 1;
}

static int may_open(const wchar_t* uri)
{
    if (!has_scheme(uri, L"http:") && !has_scheme(uri, L"https:") && !has_scheme(uri, L"mailto:"))
        return 0;
    return is_safe_on_command_line(uri);
}

void open_link_externally(const wchar_t* uri)
{
    if (!uri || !may_open(uri))
        return;
    static const wchar_t prefix[] = L"rundll32 url.dll,FileProtocolHandler ";
    size_t length = wcslen(uri);
    wchar_t* command = (wchar_t*)malloc(2 * length + 80);
    if (!command)
        return;
    wcscpy(command, prefix);
    wcscat(command, L"\"");
    wcscat(command, uri);
    wcscat(command, L"\"");
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (CreateProcessW(NULL, command, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    free(command);
}
