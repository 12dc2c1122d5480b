// The double's entry point, its state, the window through which its
// completions and events reach the UI thread, and the steering table.
#include <stdlib.h>
#include <wchar.h>

#include "double_internal.h"

int double_unexpected_calls(void);
const char* double_last_unexpected_call(void);

enum { max_instances = 1024, task_message = WM_USER + 0x51 };
static const wchar_t window_class[] = L"vmo_webview2_double";

static CRITICAL_SECTION lock;
static double_instance* instances[max_instances];
static int instance_count;
static int armed_failure;
static int newer_interfaces = 1;
static LONG live_objects;
static LONG client_references;
static HINSTANCE module;
static LONG windows_alive;

void double_lock(void)
{
    EnterCriticalSection(&lock);
}

void double_unlock(void)
{
    LeaveCriticalSection(&lock);
}

void double_count_object(int delta)
{
    InterlockedExchangeAdd(&live_objects, delta);
}

void double_count_client_reference(int delta)
{
    InterlockedExchangeAdd(&client_references, delta);
}

int double_is(int failure, const double_instance* instance)
{
    return instance->failure == failure;
}

struct double_task {
    int kind;
    double_instance* instance;
    void* handler;
    wchar_t* text;
    HANDLE done;  // null: nobody waits, the task frees itself
    HRESULT* result;
    BOOL* flag;
};

static void run_task(double_task* task)
{
    double_instance* instance = task->instance;
    HRESULT hr = S_OK;
    BOOL flag = FALSE;
    switch (task->kind) {
    case task_environment_completed: {
        if (double_is(wv2_fail_environment_completed, instance)) {
            hr = client_invoke(task->handler, (void*)(intptr_t)E_FAIL, NULL);
        } else {
            double_object* environment = double_environment_create(instance);
            hr = client_invoke(task->handler, (void*)(intptr_t)S_OK, environment);
            double_object_release(environment);
        }
        client_release(task->handler);
        break;
    }
    case task_controller_completed:
        if (double_is(wv2_fail_controller_completed, instance)) {
            hr = client_invoke(task->handler, (void*)(intptr_t)E_FAIL, NULL);
            double_object_release(instance->environment);  // the creation's reference
        } else {
            double_control_create(instance);
            hr = client_invoke(task->handler, (void*)(intptr_t)S_OK, instance->controller);
            double_object_release(instance->controller);  // the creation's own reference
        }
        client_release(task->handler);
        break;
    case task_web_message_string:
    case task_web_message_json:
        hr = double_raise_message(instance, task->text, task->kind == task_web_message_json);
        break;
    case task_navigation:
        hr = double_raise_navigation(instance, task->text, &flag);
        break;
    case task_new_window:
        hr = double_raise_new_window(instance, task->text, &flag);
        break;
    }
    free(task->text);
    if (task->done) {
        if (task->result)
            *task->result = hr;
        if (task->flag)
            *task->flag = flag;
        SetEvent(task->done);
    }
    free(task);
}

static LRESULT CALLBACK window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == task_message) {
        run_task((double_task*)lparam);
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

int double_post_task(double_instance* instance, int kind, void* handler, const wchar_t* text, HANDLE done,
                     HRESULT* result, BOOL* flag)
{
    double_task* task = (double_task*)calloc(1, sizeof *task);
    task->kind = kind;
    task->instance = instance;
    task->handler = handler;
    task->text = text ? _wcsdup(text) : NULL;
    task->done = done;
    task->result = result;
    task->flag = flag;
    if (!instance->window || !PostMessageW(instance->window, task_message, 0, (LPARAM)task)) {
        free(task->text);
        free(task);
        return 0;
    }
    return 1;
}

// The environment's window goes with the last environment reference.
void double_instance_window_gone(double_instance* instance)
{
    if (instance->window) {
        DestroyWindow(instance->window);
        instance->window = NULL;
        if (InterlockedDecrement(&windows_alive) == 0)
            UnregisterClassW(window_class, module);
    }
}

static HWND create_task_window(void)
{
    if (InterlockedIncrement(&windows_alive) == 1) {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = window_proc;
        wc.hInstance = module;
        wc.lpszClassName = window_class;
        RegisterClassExW(&wc);
    }
    HWND window = CreateWindowExW(0, window_class, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, module, NULL);
    if (!window && InterlockedDecrement(&windows_alive) == 0)
        UnregisterClassW(window_class, module);
    return window;
}

static BOOL CALLBACK find_caller_window(HWND window, LPARAM out)
{
    wchar_t name[64];
    if (GetClassNameW(window, name, 64) && wcscmp(name, window_class) != 0) {
        wcscpy((wchar_t*)out, name);
        return FALSE;
    }
    return TRUE;
}

// The editor's options, read through their getters as the runtime would.
static void read_options(double_instance* instance, void* options)
{
    typedef HRESULT(STDMETHODCALLTYPE * get_string_fn)(void*, LPWSTR*);
    typedef HRESULT(STDMETHODCALLTYPE * get_bool_fn)(void*, BOOL*);
    LPWSTR text = NULL;
    if (SUCCEEDED(((get_string_fn)client_slot(options, options_get_browser_arguments))(options, &text)) && text)
        wcsncpy(instance->view.browser_arguments, text, 255);
    CoTaskMemFree(text);
    text = NULL;
    if (SUCCEEDED(((get_string_fn)client_slot(options, options_get_language))(options, &text)))
        instance->view.language_set = text != NULL;
    CoTaskMemFree(text);
    text = NULL;
    if (SUCCEEDED(((get_string_fn)client_slot(options, options_get_target_version))(options, &text)) && text)
        wcsncpy(instance->view.target_version, text, 63);
    CoTaskMemFree(text);
    ((get_bool_fn)client_slot(options, options_get_single_sign_on))(options, &instance->view.single_sign_on);
}

// The runtime makes the user-data folder and fills it; so does the double.
static void fill_user_data_folder(const wchar_t* folder)
{
    wchar_t path[MAX_PATH + 40];
    CreateDirectoryW(folder, NULL);
    swprintf(path, MAX_PATH + 40, L"%ls\\EBWebView", folder);
    CreateDirectoryW(path, NULL);
    swprintf(path, MAX_PATH + 40, L"%ls\\EBWebView\\Local State", folder);
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written;
        WriteFile(file, "{}", 2, &written, NULL);
        CloseHandle(file);
    }
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE CreateCoreWebView2EnvironmentWithOptions(
    LPCWSTR browser_folder, LPCWSTR user_data_folder, void* options, void* handler)
{
    (void)browser_folder;
    if (!handler)
        return E_POINTER;
    double_lock();
    if (instance_count == max_instances) {
        double_unlock();
        return E_OUTOFMEMORY;
    }
    double_instance* instance = (double_instance*)calloc(1, sizeof *instance);
    instance->failure = armed_failure;
    instance->newer_interfaces = newer_interfaces;
    memset(&instance->view.settings, 0xFF, sizeof instance->view.settings);
    instances[instance_count++] = instance;
    double_unlock();

    EnumThreadWindows(GetCurrentThreadId(), find_caller_window, (LPARAM)instance->view.caller_window_class);
    if (options)
        read_options(instance, options);
    if (double_is(wv2_fail_create_environment, instance))
        return E_FAIL;
    if (user_data_folder) {
        wcsncpy(instance->view.user_data_folder, user_data_folder, MAX_PATH - 1);
        fill_user_data_folder(user_data_folder);
    }
    instance->window = create_task_window();
    client_add_ref(handler);
    if (!double_post_task(instance, task_environment_completed, handler, NULL, NULL, NULL, NULL)) {
        client_release(handler);
        double_instance_window_gone(instance);
        return E_FAIL;
    }
    return S_OK;
}

static void steer_reset(void)
{
    double_lock();
    for (int i = 0; i < instance_count; ++i) {
        for (int n = 0; n < instances[i]->sent_count; ++n)
            free(instances[i]->sent[n]);
        free(instances[i]->sent);
        free(instances[i]);
        instances[i] = NULL;
    }
    instance_count = 0;
    armed_failure = wv2_fail_nothing;
    newer_interfaces = 1;
    double_unlock();
}

static void steer_fail_at(int failure)
{
    armed_failure = failure;
}

static void steer_offer_newer_interfaces(int offered)
{
    newer_interfaces = offered;
}

static int steer_view_count(void)
{
    return instance_count;
}

static double_instance* instance_at(int index)
{
    return index >= 0 && index < instance_count ? instances[index] : NULL;
}

static int steer_find_view(HWND view_window)
{
    for (int i = instance_count - 1; i >= 0; --i)
        if (instances[i]->view.parent == view_window)
            return i;
    return -1;
}

static const wv2_double_view* steer_view(int index)
{
    double_instance* instance = instance_at(index);
    return instance ? &instance->view : NULL;
}

// Runs one event on the UI thread and waits for the editor's answer.
static HRESULT raise_and_wait(int index, int kind, const wchar_t* text, BOOL* flag)
{
    double_instance* instance = instance_at(index);
    if (!instance)
        return E_INVALIDARG;
    HANDLE done = CreateEventW(NULL, TRUE, FALSE, NULL);
    HRESULT result = E_FAIL;
    BOOL answer = FALSE;
    if (!double_post_task(instance, kind, NULL, text, done, &result, &answer)) {
        CloseHandle(done);
        return HRESULT_FROM_WIN32(ERROR_INVALID_WINDOW_HANDLE);
    }
    if (WaitForSingleObject(done, 10000) != WAIT_OBJECT_0)
        return HRESULT_FROM_WIN32(WAIT_TIMEOUT);  // the task still owns its event and results
    CloseHandle(done);
    if (flag)
        *flag = answer;
    return result;
}

static HRESULT steer_deliver_string(int view, const wchar_t* text)
{
    return raise_and_wait(view, task_web_message_string, text, NULL);
}

static HRESULT steer_deliver_json(int view, const wchar_t* json)
{
    return raise_and_wait(view, task_web_message_json, json, NULL);
}

static HRESULT steer_navigate(int view, const wchar_t* uri, BOOL* cancelled)
{
    return raise_and_wait(view, task_navigation, uri, cancelled);
}

static HRESULT steer_request_new_window(int view, const wchar_t* uri, BOOL* handled)
{
    return raise_and_wait(view, task_new_window, uri, handled);
}

static int steer_post_string(int view, const wchar_t* text)
{
    double_instance* instance = instance_at(view);
    return instance && double_post_task(instance, task_web_message_string, NULL, text, NULL, NULL, NULL);
}

void double_record_sent(double_instance* instance, const wchar_t* text)
{
    double_lock();
    if (instance->sent_count == instance->sent_capacity) {
        instance->sent_capacity = instance->sent_capacity ? instance->sent_capacity * 2 : 64;
        instance->sent = (wchar_t**)realloc(instance->sent, sizeof(wchar_t*) * (size_t)instance->sent_capacity);
    }
    instance->sent[instance->sent_count++] = _wcsdup(text);
    double_unlock();
}

static int steer_sent_count(int view)
{
    double_lock();
    double_instance* instance = instance_at(view);
    int count = instance ? instance->sent_count : 0;
    double_unlock();
    return count;
}

static int steer_sent_text(int view, int n, wchar_t* out, int capacity)
{
    double_lock();
    double_instance* instance = instance_at(view);
    int length = -1;
    if (instance && n >= 0 && n < instance->sent_count && capacity > 0) {
        length = (int)wcslen(instance->sent[n]);
        wcsncpy(out, instance->sent[n], (size_t)capacity - 1);
        out[capacity - 1] = 0;
    }
    double_unlock();
    return length;
}

static void steer_clear_sent(int view)
{
    double_lock();
    double_instance* instance = instance_at(view);
    if (instance) {
        for (int n = 0; n < instance->sent_count; ++n)
            free(instance->sent[n]);
        instance->sent_count = 0;
    }
    double_unlock();
}

static int steer_live_objects(void)
{
    return (int)live_objects;
}

static int steer_client_references(void)
{
    return (int)client_references;
}

static const wv2_double_api api = {
    steer_reset,
    steer_fail_at,
    steer_offer_newer_interfaces,
    steer_view_count,
    steer_find_view,
    steer_view,
    steer_deliver_string,
    steer_deliver_json,
    steer_navigate,
    steer_request_new_window,
    steer_post_string,
    steer_sent_count,
    steer_sent_text,
    steer_clear_sent,
    steer_live_objects,
    steer_client_references,
    double_unexpected_calls,
    double_last_unexpected_call,
};

extern "C" __declspec(dllexport) const wv2_double_api* wv2_double_steering(void)
{
    return &api;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*)
{
    if (reason == DLL_PROCESS_ATTACH) {
        module = instance;
        InitializeCriticalSection(&lock);
    } else if (reason == DLL_PROCESS_DETACH) {
        DeleteCriticalSection(&lock);
    }
    return TRUE;
}
