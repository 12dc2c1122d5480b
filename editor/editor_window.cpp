#include "editor_window.h"

#include <wchar.h>

#include "editor.h"
#include "editor_thread.h"
#include "module_instance.h"
#include "value_bits.h"
#include "webview2_control.h"

// The prefix and the editor's address in upper-case hexadecimal without
// leading zeros, as "%llX" would write it.
static void class_name(wchar_t out[24], wchar_t prefix, const editor* e)
{
    static const wchar_t digits[] = L"0123456789ABCDEF";
    unsigned long long address = (unsigned long long)(uintptr_t)e;
    wchar_t reversed[17];
    int n = 0;
    do {
        reversed[n++] = digits[address & 15];
        address >>= 4;
    } while (address);
    int at = 0;
    out[at++] = prefix;
    while (n)
        out[at++] = reversed[--n];
    out[at] = 0;
}

// A zero result is a failure only together with a nonzero last error.
static int set_window_editor(HWND window, editor* e)
{
    SetLastError(0);
    if (SetWindowLongPtrW(window, 0, (LONG_PTR)e) == 0 && GetLastError() != 0)
        return -1;
    return 0;
}

static editor* window_editor(HWND window)
{
    return (editor*)GetWindowLongPtrW(window, 0);
}

static LRESULT CALLBACK view_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    editor* e = window_editor(window);
    if (!e)
        return DefWindowProcW(window, message, wparam, lparam);
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        break;
    case WM_SETFOCUS:
        webview2_focus(e);
        break;
    case WM_SIZE:
        if (e->controller) {
            webview2_fit_to_window(e);
            return 0;
        }
        break;
    case EDITOR_MSG_SET_SIZE:
        SetWindowPos(window, NULL, 0, 0, (int)wparam, (int)lparam,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

int view_window_class_register(editor* e)
{
    wchar_t name[24];
    class_name(name, L'c', e);
    HCURSOR arrow = (HCURSOR)LoadImageW(NULL, (LPCWSTR)IDC_ARROW, IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE | LR_SHARED);
    if (!arrow)
        return -1;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = view_window_proc;
    wc.cbWndExtra = sizeof(void*);
    wc.hInstance = module_instance();
    wc.hCursor = arrow;
    wc.lpszClassName = name;
    return RegisterClassExW(&wc) ? 0 : -1;
}

void view_window_class_unregister(editor* e)
{
    wchar_t name[24];
    class_name(name, L'c', e);
    UnregisterClassW(name, module_instance());
}

int view_window_create(editor* e, const editor_startup* startup)
{
    wchar_t name[24];
    class_name(name, L'c', e);
    HWND window;
    if (startup->is_child) {
        window = CreateWindowExW(WS_EX_NOACTIVATE, name, NULL, 0, 0, 0, startup->width, startup->height,
                                 NULL, NULL, module_instance(), NULL);
        if (!window)
            return -1;
        // CreateWindowEx adds a caption and border to style 0; the view has none.
        SetLastError(0);
        if (SetWindowLongPtrW(window, GWL_STYLE, 0) == 0 && GetLastError() != 0) {
            DestroyWindow(window);
            return -1;
        }
    } else {
        window = CreateWindowExW(0, name, NULL, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, startup->width,
                                 startup->height, NULL, NULL, module_instance(), NULL);
        if (!window)
            return -1;
    }
    e->view_window = window;
    if (set_window_editor(window, e) != 0)
        return -1;
    return 0;
}

// Host thread: runs the edit callback the UI thread waits for.
static LRESULT CALLBACK relay_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    editor* e = window_editor(window);
    if (!e)
        return DefWindowProcW(window, message, wparam, lparam);
    void (*callback)(void*, uint32_t, float) = NULL;
    switch (message) {
    case EDITOR_MSG_BEGIN_EDIT:
        callback = e->callbacks.begin_edit;
        break;
    case EDITOR_MSG_PERFORM_EDIT:
        callback = e->callbacks.perform_edit;
        break;
    case EDITOR_MSG_END_EDIT:
        callback = e->callbacks.end_edit;
        break;
    case WM_DESTROY:
        // The host destroyed its window, and this child with it, while a
        // relay was queued here: its message is gone, so wake the relay.
        if (!e->in_host_callback && InterlockedExchange(&e->relay_waiting, 0))
            ReleaseSemaphore(e->relay_sem, 1, NULL);
        return DefWindowProcW(window, message, wparam, lparam);
    default:
        return DefWindowProcW(window, message, wparam, lparam);
    }
    e->in_host_callback = 1;
    if (callback)
        callback(e->callbacks.user_data, (uint32_t)wparam, float_from_bits((uint32_t)lparam));
    e->in_host_callback = 0;
    InterlockedExchange(&e->relay_waiting, 0);
    ReleaseSemaphore(e->relay_sem, 1, NULL);
    return 0;
}

int relay_window_create(editor* e, uint8_t is_child, HWND parent)
{
    class_name(e->relay_class_name, L'd', e);
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = relay_window_proc;
    wc.cbWndExtra = sizeof(void*);
    wc.hInstance = module_instance();
    wc.lpszClassName = e->relay_class_name;
    if (!RegisterClassExW(&wc)) {
        e->relay_class_name[0] = 0;
        return -1;
    }
    e->relay_window = CreateWindowExW(0, e->relay_class_name, L"", is_child ? WS_CHILD : WS_POPUP, 0, 0, 0, 0,
                                      parent, NULL, module_instance(), NULL);
    if (!e->relay_window)
        return -1;
    e->in_host_callback = 0;
    return set_window_editor(e->relay_window, e);
}

void relay_window_destroy(editor* e)
{
    if (e->relay_window) {
        // The window may be gone already, with the host's window it was a
        // child of, and its handle then names nothing of ours.
        wchar_t name[24];
        if (GetClassNameW(e->relay_window, name, 24) && wcscmp(name, e->relay_class_name) == 0)
            DestroyWindow(e->relay_window);
        e->relay_window = NULL;
    }
    if (e->relay_class_name[0]) {
        UnregisterClassW(e->relay_class_name, module_instance());
        e->relay_class_name[0] = 0;
    }
}
