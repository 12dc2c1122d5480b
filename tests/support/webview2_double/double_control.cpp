// The control: controller, core view and settings, recording what the
// editor sets and sends, and holding the editor's event handlers until closed.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#include "double_internal.h"

void double_record_sent(double_instance* instance, const wchar_t* text);

static int fails(int failure, double_object* self)
{
    return double_is(failure, self->instance);
}

void double_control_release_handlers(double_instance* instance)
{
    for (void*& handler : instance->handlers) {
        if (handler) {
            client_release(handler);
            handler = NULL;
            instance->view.handlers_registered--;
        }
    }
}

// ---- settings

static HRESULT STDMETHODCALLTYPE settings_query_interface(double_object* self, REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    int newer = self->instance->newer_interfaces;
    if (IsEqualIID(iid, *double_iid("IUnknown")) || IsEqualIID(iid, *double_iid("Settings")) ||
        (newer && (IsEqualIID(iid, *double_iid("Settings3")) || IsEqualIID(iid, *double_iid("Settings4")) ||
                   IsEqualIID(iid, *double_iid("Settings5")) || IsEqualIID(iid, *double_iid("Settings6"))))) {
        InterlockedIncrement(&self->refs);
        *out = self;
        return S_OK;
    }
    *out = NULL;
    return E_NOINTERFACE;
}

#define SETTING(slot_name, member, required_failure)                                            \
    static HRESULT STDMETHODCALLTYPE slot_name(double_object* self, BOOL value)                \
    {                                                                                           \
        if (fails(required_failure, self))                                                      \
            return E_FAIL;                                                                      \
        self->instance->view.settings.member = value ? 1 : 0;                                   \
        return S_OK;                                                                            \
    }
SETTING(put_web_message, web_message_enabled, wv2_failure_count)
SETTING(put_dialogs, default_script_dialogs, wv2_fail_optional_settings)
SETTING(put_status_bar, status_bar, wv2_fail_optional_settings)
SETTING(put_dev_tools, dev_tools, wv2_fail_optional_settings)
SETTING(put_context_menus, context_menus, wv2_fail_optional_settings)
SETTING(put_host_objects, host_objects, wv2_fail_host_objects)
SETTING(put_zoom_control, zoom_control, wv2_fail_optional_settings)
SETTING(put_error_page, built_in_error_page, wv2_failure_count)
SETTING(put_accelerator_keys, accelerator_keys, wv2_fail_optional_settings)
SETTING(put_password_autosave, password_autosave, wv2_fail_optional_settings)
SETTING(put_general_autofill, general_autofill, wv2_fail_optional_settings)
SETTING(put_pinch_zoom, pinch_zoom, wv2_fail_optional_settings)
SETTING(put_swipe_navigation, swipe_navigation, wv2_fail_optional_settings)

static HRESULT STDMETHODCALLTYPE put_script(double_object* self, BOOL value)
{
    self->instance->view.settings.script_enabled = value ? 1 : 0;
    return fails(wv2_fail_script_enabled, self) ? S_FALSE : S_OK;
}

static void destroy_settings(double_object* self)
{
    free(self);
}

static double_object* settings_create(double_instance* instance)
{
    static void** table;
    if (!table) {
        table = double_table(settings_slots);
        table[slot_query_interface] = (void*)settings_query_interface;
        table[settings_put_is_script_enabled] = (void*)put_script;
        table[settings_put_is_web_message_enabled] = (void*)put_web_message;
        table[settings_put_default_script_dialogs] = (void*)put_dialogs;
        table[settings_put_status_bar] = (void*)put_status_bar;
        table[settings_put_dev_tools] = (void*)put_dev_tools;
        table[settings_put_context_menus] = (void*)put_context_menus;
        table[settings_put_host_objects] = (void*)put_host_objects;
        table[settings_put_zoom_control] = (void*)put_zoom_control;
        table[settings_put_built_in_error_page] = (void*)put_error_page;
        table[settings3_put_accelerator_keys] = (void*)put_accelerator_keys;
        table[settings4_put_password_autosave] = (void*)put_password_autosave;
        table[settings4_put_general_autofill] = (void*)put_general_autofill;
        table[settings5_put_pinch_zoom] = (void*)put_pinch_zoom;
        table[settings6_put_swipe_navigation] = (void*)put_swipe_navigation;
    }
    double_object* settings = (double_object*)calloc(1, sizeof *settings);
    double_object_init(settings, table, "ICoreWebView2Settings", instance, destroy_settings);
    return settings;
}

// ---- core view

static HRESULT STDMETHODCALLTYPE webview_query_interface(double_object* self, REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    if (IsEqualIID(iid, *double_iid("IUnknown")) || IsEqualIID(iid, *double_iid("WebView"))) {
        InterlockedIncrement(&self->refs);
        *out = self;
        return S_OK;
    }
    *out = NULL;
    return E_NOINTERFACE;
}

static HRESULT STDMETHODCALLTYPE webview_get_settings_slot(double_object* self, void** out)
{
    if (!out)
        return E_POINTER;
    *out = NULL;
    if (fails(wv2_fail_get_settings, self))
        return E_FAIL;
    double_object* settings = self->instance->settings;
    InterlockedIncrement(&settings->refs);
    *out = settings;
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE webview_navigate_slot(double_object* self, LPCWSTR uri)
{
    if (fails(wv2_fail_navigate, self))
        return E_FAIL;
    wcsncpy(self->instance->view.navigated, uri ? uri : L"", MAX_PATH - 1);
    self->instance->view.navigate_count++;
    return S_OK;
}

static HRESULT add_handler(double_object* self, int which, int failure, void* handler, int64_t* token)
{
    if (!handler || !token)
        return E_POINTER;
    if (fails(failure, self))
        return E_FAIL;
    double_instance* instance = self->instance;
    if (instance->handlers[which]) {
        client_release(instance->handlers[which]);
        instance->view.handlers_registered--;
    }
    client_add_ref(handler);
    instance->handlers[which] = handler;
    instance->view.handlers_registered++;
    *token = which + 1;
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE add_web_message_slot(double_object* self, void* handler, int64_t* token)
{
    return add_handler(self, 0, wv2_fail_add_web_message, handler, token);
}

static HRESULT STDMETHODCALLTYPE add_navigation_slot(double_object* self, void* handler, int64_t* token)
{
    return add_handler(self, 1, wv2_fail_add_navigation, handler, token);
}

static HRESULT STDMETHODCALLTYPE add_new_window_slot(double_object* self, void* handler, int64_t* token)
{
    return add_handler(self, 2, wv2_fail_add_new_window, handler, token);
}

static HRESULT STDMETHODCALLTYPE post_string_slot(double_object* self, LPCWSTR text)
{
    if (!text)
        return E_INVALIDARG;
    if (self->instance->view.closed)
        return E_UNEXPECTED;
    double_record_sent(self->instance, text);
    return S_OK;
}

static void destroy_webview(double_object* self)
{
    double_object_release(self->instance->settings);
    self->instance->settings = NULL;
    free(self);
}

static double_object* webview_create(double_instance* instance)
{
    static void** table;
    if (!table) {
        table = double_table(webview_slots);
        table[slot_query_interface] = (void*)webview_query_interface;
        table[webview_get_settings] = (void*)webview_get_settings_slot;
        table[webview_navigate] = (void*)webview_navigate_slot;
        table[webview_add_navigation_starting] = (void*)add_navigation_slot;
        table[webview_post_web_message_as_string] = (void*)post_string_slot;
        table[webview_add_web_message_received] = (void*)add_web_message_slot;
        table[webview_add_new_window_requested] = (void*)add_new_window_slot;
    }
    double_object* webview = (double_object*)calloc(1, sizeof *webview);
    double_object_init(webview, table, "ICoreWebView2", instance, destroy_webview);
    instance->settings = settings_create(instance);
    return webview;
}

// ---- controller

static HRESULT STDMETHODCALLTYPE controller_query_interface(double_object* self, REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    if (IsEqualIID(iid, *double_iid("IUnknown")) || IsEqualIID(iid, *double_iid("Controller")) ||
        (self->instance->newer_interfaces && IsEqualIID(iid, *double_iid("Controller4")))) {
        InterlockedIncrement(&self->refs);
        *out = self;
        return S_OK;
    }
    *out = NULL;
    return E_NOINTERFACE;
}

static HRESULT STDMETHODCALLTYPE controller_get_visible_slot(double_object* self, BOOL* visible)
{
    if (!visible)
        return E_POINTER;
    *visible = self->instance->view.visible;
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE controller_put_visible_slot(double_object* self, BOOL visible)
{
    if (fails(wv2_fail_show, self))
        return E_FAIL;
    self->instance->view.visible = visible ? 1 : 0;
    self->instance->view.visible_count++;
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE controller_get_bounds_slot(double_object* self, RECT* bounds)
{
    if (!bounds)
        return E_POINTER;
    *bounds = self->instance->view.bounds;
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE controller_put_bounds_slot(double_object* self, RECT bounds)
{
    if (fails(wv2_fail_bounds, self))
        return E_FAIL;
    self->instance->view.bounds = bounds;
    self->instance->view.bounds_count++;
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE controller_move_focus_slot(double_object* self, int reason)
{
    if (reason != 0)  // programmatic
        return E_INVALIDARG;
    self->instance->view.focus_count++;
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE controller_close_slot(double_object* self)
{
    self->instance->view.closed = 1;
    double_control_release_handlers(self->instance);
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE controller_get_webview_slot(double_object* self, void** out)
{
    if (!out)
        return E_POINTER;
    *out = NULL;
    if (fails(wv2_fail_get_webview, self) || self->instance->view.closed)
        return E_FAIL;
    InterlockedIncrement(&self->instance->webview->refs);
    *out = self->instance->webview;
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE controller_get_drop_slot(double_object* self, BOOL* allow)
{
    if (!allow)
        return E_POINTER;
    *allow = self->instance->view.settings.external_drop != 0;
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE controller_put_drop_slot(double_object* self, BOOL allow)
{
    if (fails(wv2_fail_optional_settings, self))
        return E_FAIL;
    self->instance->view.settings.external_drop = allow ? 1 : 0;
    return S_OK;
}

// Releasing the last reference closes the control, as the runtime does.
static void destroy_controller(double_object* self)
{
    double_instance* instance = self->instance;
    double_control_release_handlers(instance);
    double_object_release(instance->webview);
    instance->webview = NULL;
    instance->controller = NULL;
    double_object_release(instance->environment);
    free(self);
}

void double_control_create(double_instance* instance)
{
    static void** table;
    if (!table) {
        table = double_table(controller_slots);
        table[slot_query_interface] = (void*)controller_query_interface;
        table[controller_get_is_visible] = (void*)controller_get_visible_slot;
        table[controller_put_is_visible] = (void*)controller_put_visible_slot;
        table[controller_get_bounds] = (void*)controller_get_bounds_slot;
        table[controller_put_bounds] = (void*)controller_put_bounds_slot;
        table[controller_move_focus] = (void*)controller_move_focus_slot;
        table[controller_close] = (void*)controller_close_slot;
        table[controller_get_webview] = (void*)controller_get_webview_slot;
        table[controller4_get_allow_external_drop] = (void*)controller_get_drop_slot;
        table[controller4_put_allow_external_drop] = (void*)controller_put_drop_slot;
    }
    double_object* controller = (double_object*)calloc(1, sizeof *controller);
    double_object_init(controller, table, "ICoreWebView2Controller", instance, destroy_controller);
    instance->controller = controller;
    instance->webview = webview_create(instance);
}
