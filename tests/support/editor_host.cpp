#include "editor_host.h"

enum { host_run_message = WM_USER + 0x61 };
static const wchar_t host_class[] = L"vmo_test_host";

struct host_job_call {
    editor_host_job job;
    void* context;
    HANDLE done;
};

static LRESULT CALLBACK host_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    return DefWindowProcW(window, message, wparam, lparam);
}

static DWORD WINAPI host_thread(void* argument)
{
    editor_host* host = (editor_host*)argument;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = host_window_proc;
    wc.hInstance = GetModuleHandleW(NULL);
    wc.lpszClassName = host_class;
    RegisterClassExW(&wc);
    host->window = CreateWindowExW(0, host_class, L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN,
                                   40, 40, 1000, 600, NULL, NULL, GetModuleHandleW(NULL), NULL);
    SetEvent(host->started);
    MSG msg;
    while (GetMessageW(&msg, NULL, 0, 0) > 0) {
        if (!msg.hwnd && msg.message == host_run_message) {
            host_job_call* call = (host_job_call*)msg.lParam;
            call->job(call->context);
            SetEvent(call->done);
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (IsWindow(host->window))
        DestroyWindow(host->window);
    return 0;
}

int editor_host_start(editor_host* host)
{
    host->window = NULL;
    host->started = CreateEventW(NULL, TRUE, FALSE, NULL);
    host->thread = CreateThread(NULL, 0, host_thread, host, 0, &host->thread_id);
    if (!host->thread)
        return -1;
    WaitForSingleObject(host->started, INFINITE);
    return host->window ? 0 : -1;
}

void editor_host_stop(editor_host* host)
{
    PostThreadMessageW(host->thread_id, WM_QUIT, 0, 0);
    WaitForSingleObject(host->thread, 10000);
    CloseHandle(host->thread);
    CloseHandle(host->started);
}

// Posted to the thread rather than to the window, so that jobs still run
// after a test has destroyed the host's window.
int editor_host_run(editor_host* host, editor_host_job job, void* context, DWORD timeout_ms)
{
    host_job_call call = {job, context, CreateEventW(NULL, TRUE, FALSE, NULL)};
    if (!PostThreadMessageW(host->thread_id, host_run_message, 0, (LPARAM)&call)) {
        CloseHandle(call.done);
        return 0;
    }
    if (WaitForSingleObject(call.done, timeout_ms) != WAIT_OBJECT_0)
        return 0;  // the call stays referenced by the stuck thread: leave it
    CloseHandle(call.done);
    return 1;
}
