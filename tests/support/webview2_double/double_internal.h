// Inside the WebView2 test double: its objects are plain records whose first
// member is a function table laid out by slot number, as the runtime's are.
#pragma once

#include <windows.h>

#include "webview2_double.h"

// Slots of the published interfaces the double implements, by number.
enum {
    slot_query_interface = 0,
    slot_add_ref = 1,
    slot_release = 2,
    slot_invoke = 3,  // every handler's only method

    environment_create_controller = 3,
    environment_slots = 8,

    controller_get_is_visible = 3,
    controller_put_is_visible = 4,
    controller_get_bounds = 5,
    controller_put_bounds = 6,
    controller_move_focus = 12,
    controller_close = 24,
    controller_get_webview = 25,
    controller4_get_allow_external_drop = 36,
    controller4_put_allow_external_drop = 37,
    controller_slots = 38,

    webview_get_settings = 3,
    webview_navigate = 5,
    webview_add_navigation_starting = 7,
    webview_remove_navigation_starting = 8,
    webview_post_web_message_as_string = 33,
    webview_add_web_message_received = 34,
    webview_remove_web_message_received = 35,
    webview_add_new_window_requested = 44,
    webview_remove_new_window_requested = 45,
    webview_slots = 61,

    // Settings 1 puts at 4, 6, ... 20; settings 2 (user agent) 21, 22;
    // settings 3 to 6 from 23 on.
    settings_put_is_script_enabled = 4,
    settings_put_is_web_message_enabled = 6,
    settings_put_default_script_dialogs = 8,
    settings_put_status_bar = 10,
    settings_put_dev_tools = 12,
    settings_put_context_menus = 14,
    settings_put_host_objects = 16,
    settings_put_zoom_control = 18,
    settings_put_built_in_error_page = 20,
    settings3_put_accelerator_keys = 24,
    settings4_put_password_autosave = 26,
    settings4_put_general_autofill = 28,
    settings5_put_pinch_zoom = 30,
    settings6_put_swipe_navigation = 32,
    settings_slots = 33,

    message_args_get_source = 3,
    message_args_get_json = 4,
    message_args_try_get_string = 5,
    message_args_slots = 6,

    navigation_args_get_uri = 3,
    navigation_args_get_cancel = 7,
    navigation_args_put_cancel = 8,
    navigation_args_slots = 10,

    new_window_args_get_uri = 3,
    new_window_args_put_handled = 6,
    new_window_args_get_handled = 7,
    new_window_args_slots = 11,

    // The editor's options object.
    options_get_browser_arguments = 3,
    options_get_language = 5,
    options_get_target_version = 7,
    options_get_single_sign_on = 9,
};

struct double_instance;

// The head of every object of the double.
struct double_object {
    void** table;
    LONG refs;
    const char* name;
    double_instance* instance;
    void (*destroy)(double_object* self);
};

struct double_instance {
    wv2_double_view view;
    HWND window;  // hidden, on the UI thread: completions and events arrive through it
    int failure;
    int newer_interfaces;
    void* handlers[3];  // the editor's web message, navigation and new window handlers
    double_object* environment;  // borrowed; a pending controller creation holds a reference
    double_object* controller;
    double_object* webview;
    double_object* settings;
    wchar_t** sent;
    int sent_count;
    int sent_capacity;
};

// A table of count slots, each reporting an unexpected call until set.
void** double_table(int count);
void double_object_init(double_object* object, void** table, const char* name, double_instance* instance,
                        void (*destroy)(double_object*));
void double_object_release(double_object* object);
HRESULT STDMETHODCALLTYPE double_add_ref_slot(double_object* self);
HRESULT STDMETHODCALLTYPE double_release_slot(double_object* self);

// Calls on the editor's objects, by slot.
void* client_slot(void* object, int slot);
ULONG client_add_ref(void* object);
ULONG client_release(void* object);
HRESULT client_invoke(void* handler, void* first, void* second);

// Interface identities, written here from their published string form.
const IID* double_iid(const char* name);

int double_is(int failure, const double_instance* instance);
void double_lock(void);
void double_unlock(void);
void double_count_object(int delta);
void double_count_client_reference(int delta);

// Posts work to the instance's window; the task runs on the UI thread.
enum {
    task_environment_completed,
    task_controller_completed,
    task_web_message_string,
    task_web_message_json,
    task_navigation,
    task_new_window,
};
int double_post_task(double_instance* instance, int kind, void* handler, const wchar_t* text, HANDLE done,
                     HRESULT* result, BOOL* flag);

double_object* double_environment_create(double_instance* instance);
void double_control_create(double_instance* instance);
void double_control_release_handlers(double_instance* instance);
HRESULT double_raise_message(double_instance* instance, const wchar_t* text, int is_json);
HRESULT double_raise_navigation(double_instance* instance, const wchar_t* uri, BOOL* cancelled);
HRESULT double_raise_new_window(double_instance* instance, const wchar_t* uri, BOOL* handled);
