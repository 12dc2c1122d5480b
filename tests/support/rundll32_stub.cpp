// Stands in for the system's rundll32 beside a test program: CreateProcess
// finds it there first.  It opens nothing and appends its command line, in
// UTF-8, to the file named by VMO_RUNDLL32_RECORD.
#include <windows.h>

int main()
{
    wchar_t record[MAX_PATH];
    if (!GetEnvironmentVariableW(L"VMO_RUNDLL32_RECORD", record, MAX_PATH))
        return 0;
    const wchar_t* line = GetCommandLineW();
    int bytes = WideCharToMultiByte(CP_UTF8, 0, line, -1, NULL, 0, NULL, NULL);
    char* text = (char*)HeapAlloc(GetProcessHeap(), 0, (size_t)bytes + 1);
    WideCharToMultiByte(CP_UTF8, 0, line, -1, text, bytes, NULL, NULL);
    text[bytes - 1] = '\n';
    HANDLE file = CreateFileW(record, FILE_APPEND_DATA, FILE_SHARE_READ, NULL, OPEN_ALWAYS, 0, NULL);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written;
        WriteFile(file, text, (DWORD)bytes, &written, NULL);
        CloseHandle(file);
    }
    return 0;
}
