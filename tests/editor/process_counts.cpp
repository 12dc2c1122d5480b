#include "process_counts.h"

#include <stdlib.h>
#include <tlhelp32.h>
#include <winternl.h>

// Wine answers GetProcessHandleCount with 0 and success; its system handle
// table is kept, so count this process's entries there instead.
struct system_handle_entry {
    ULONG process_id;
    UCHAR type;
    UCHAR flags;
    USHORT handle;
    PVOID object;
    ACCESS_MASK access;
};

static long handles_from_system_table(void)
{
    typedef NTSTATUS(NTAPI * query_fn)(ULONG, PVOID, ULONG, PULONG);
    query_fn query = (query_fn)(void*)GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation");
    if (!query)
        return -1;
    const ULONG system_handle_information = 16;
    for (ULONG size = 1 << 16; size < (1u << 28); size *= 2) {
        ULONG* buffer = (ULONG*)malloc(size);
        ULONG needed = 0;
        NTSTATUS status = query(system_handle_information, buffer, size, &needed);
        if (status == (NTSTATUS)0xC0000004L) {  // length mismatch: try larger
            free(buffer);
            continue;
        }
        long count = -1;
        if (status >= 0) {
            ULONG entries = buffer[0];
            system_handle_entry* entry = (system_handle_entry*)(buffer + 2);
            count = 0;
            for (ULONG i = 0; i < entries; ++i)
                if (entry[i].process_id == GetCurrentProcessId())
                    ++count;
        }
        free(buffer);
        return count;
    }
    return -1;
}

static BOOL CALLBACK count_own_window(HWND window, LPARAM count)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId())
        ++*(long*)count;
    return TRUE;
}

static long windows_of_process(void)
{
    long count = 0;
    EnumWindows(count_own_window, (LPARAM)&count);
    for (HWND w = FindWindowExW(HWND_MESSAGE, NULL, NULL, NULL); w; w = FindWindowExW(HWND_MESSAGE, w, NULL, NULL))
        count_own_window(w, (LPARAM)&count);
    return count;
}

static long threads_of_process(void)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry;
    entry.dwSize = sizeof entry;
    long count = 0;
    if (Thread32First(snapshot, &entry)) {
        do {
            if (entry.th32OwnerProcessID == GetCurrentProcessId())
                ++count;
        } while (Thread32Next(snapshot, &entry));
    }
    CloseHandle(snapshot);
    return count;
}

static long placeholders_in_temp(void)
{
    wchar_t pattern[MAX_PATH + 16];
    DWORD n = GetTempPathW(MAX_PATH, pattern);
    wcscpy(pattern + n, L"vin*.tmp");
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    long count = 0;
    do
        ++count;
    while (FindNextFileW(search, &found));
    FindClose(search);
    return count;
}

process_counts process_counts_now(void)
{
    process_counts counts;
    DWORD handles = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handles);
    counts.handles = handles ? (long)handles : handles_from_system_table();
    counts.user_objects = (long)GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    counts.gdi_objects = (long)GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    counts.windows = windows_of_process();
    counts.threads = threads_of_process();
    counts.placeholders = placeholders_in_temp();
    return counts;
}

bool gui_counts_reported(void)
{
    // Every process that has a window owns USER objects.
    return GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS) != 0;
}
