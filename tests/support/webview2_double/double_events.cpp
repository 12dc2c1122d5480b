// The three events the editor listens to, each with its arguments object.
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#include "double_internal.h"

struct event_args {
    double_object head;
    const wchar_t* text;
    int is_json;
    BOOL flag;  // cancelled or handled
};

static LPWSTR task_copy(const wchar_t* text)
{
    size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
    LPWSTR copy = (LPWSTR)CoTaskMemAlloc(bytes);
    memcpy(copy, text, bytes);
    return copy;
}

static void destroy_args(double_object* self)
{
    free(self);
}

static HRESULT query(double_object* self, REFIID iid, void** out, const char* name)
{
    if (!out)
        return E_POINTER;
    if (IsEqualIID(iid, *double_iid("IUnknown")) || IsEqualIID(iid, *double_iid(name))) {
        InterlockedIncrement(&self->refs);
        *out = self;
        return S_OK;
    }
    *out = NULL;
    return E_NOINTERFACE;
}

static HRESULT STDMETHODCALLTYPE message_query(double_object* self, REFIID iid, void** out)
{
    return query(self, iid, out, "MessageArgs");
}

static HRESULT STDMETHODCALLTYPE message_source(double_object*, LPWSTR* source)
{
    if (!source)
        return E_POINTER;
    *source = task_copy(L"file:///index.html");
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE message_json(double_object* self, LPWSTR* json)
{
    if (!json)
        return E_POINTER;
    *json = task_copy(((event_args*)self)->text);
    return S_OK;
}

// As documented: a message that is not a string gives E_INVALIDARG.
static HRESULT STDMETHODCALLTYPE message_try_string(double_object* self, LPWSTR* text)
{
    if (!text)
        return E_POINTER;
    event_args* args = (event_args*)self;
    *text = NULL;
    if (args->is_json)
        return E_INVALIDARG;
    *text = task_copy(args->text);
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE navigation_query(double_object* self, REFIID iid, void** out)
{
    return query(self, iid, out, "NavigationArgs");
}

static HRESULT STDMETHODCALLTYPE new_window_query(double_object* self, REFIID iid, void** out)
{
    return query(self, iid, out, "NewWindowArgs");
}

static HRESULT STDMETHODCALLTYPE args_uri(double_object* self, LPWSTR* uri)
{
    if (!uri)
        return E_POINTER;
    *uri = task_copy(((event_args*)self)->text);
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE args_get_flag(double_object* self, BOOL* flag)
{
    if (!flag)
        return E_POINTER;
    *flag = ((event_args*)self)->flag;
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE args_put_flag(double_object* self, BOOL flag)
{
    ((event_args*)self)->flag = flag;
    return S_OK;
}

static event_args* args_create(double_instance* instance, void** table, const char* name, const wchar_t* text)
{
    event_args* args = (event_args*)calloc(1, sizeof *args);
    double_object_init(&args->head, table, name, instance, destroy_args);
    args->text = text;
    return args;
}

// The event's sender is the core view, as it is in the runtime.
static HRESULT raise(double_instance* instance, int which, event_args* args, BOOL* flag)
{
    HRESULT hr = E_UNEXPECTED;
    void* handler = instance->handlers[which];
    if (handler) {
        client_add_ref(handler);
        hr = client_invoke(handler, instance->webview, args);
        client_release(handler);
    }
    if (flag)
        *flag = args->flag;
    double_object_release(&args->head);
    return hr;
}

HRESULT double_raise_message(double_instance* instance, const wchar_t* text, int is_json)
{
    static void** table;
    if (!table) {
        table = double_table(message_args_slots);
        table[slot_query_interface] = (void*)message_query;
        table[message_args_get_source] = (void*)message_source;
        table[message_args_get_json] = (void*)message_json;
        table[message_args_try_get_string] = (void*)message_try_string;
    }
    event_args* args = args_create(instance, table, "ICoreWebView2WebMessageReceivedEventArgs", text);
    args->is_json = is_json;
    return raise(instance, 0, args, NULL);
}

HRESULT double_raise_navigation(double_instance* instance, const wchar_t* uri, BOOL* cancelled)
{
    static void** table;
    if (!table) {
        table = double_table(navigation_args_slots);
        table[slot_query_interface] = (void*)navigation_query;
        table[navigation_args_get_uri] = (void*)args_uri;
        table[navigation_args_get_cancel] = (void*)args_get_flag;
        table[navigation_args_put_cancel] = (void*)args_put_flag;
    }
    return raise(instance, 1, args_create(instance, table, "ICoreWebView2NavigationStartingEventArgs", uri),
                 cancelled);
}

HRESULT double_raise_new_window(double_instance* instance, const wchar_t* uri, BOOL* handled)
{
    static void** table;
    if (!table) {
        table = double_table(new_window_args_slots);
        table[slot_query_interface] = (void*)new_window_query;
        table[new_window_args_get_uri] = (void*)args_uri;
        table[new_window_args_put_handled] = (void*)args_put_flag;
        table[new_window_args_get_handled] = (void*)args_get_flag;
    }
    return raise(instance, 2, args_create(instance, table, "ICoreWebView2NewWindowRequestedEventArgs", uri),
                 handled);
}
