// The WebView2 test double: a "WebView2Loader.dll" built by the tests that
// exports CreateCoreWebView2EnvironmentWithOptions and behaves towards the
// editor as the runtime does (completions arrive later, through the calling
// thread's message loop), records what the editor asked of it, and can be
// steered by a test through the table wv2_double_steering() returns.
//
// The double lays out its objects' function tables by slot number, written
// independently of the editor's own declarations; every slot it does not
// implement records the call, so a method declared out of place shows up.
#pragma once

#include <windows.h>

// The step that fails on the next editor that starts.
enum wv2_double_failure {
    wv2_fail_nothing = 0,
    wv2_fail_create_environment,    // the entry point itself returns an error
    wv2_fail_environment_completed, // the completion reports an error
    wv2_fail_create_controller,     // CreateCoreWebView2Controller returns an error
    wv2_fail_controller_completed,  // the completion reports an error
    wv2_fail_get_webview,           // get_CoreWebView2
    wv2_fail_get_settings,
    wv2_fail_script_enabled,        // answers S_FALSE: success, but not S_OK
    wv2_fail_host_objects,
    wv2_fail_bounds,
    wv2_fail_add_web_message,
    wv2_fail_add_navigation,
    wv2_fail_add_new_window,
    wv2_fail_navigate,
    wv2_fail_show,
    wv2_fail_optional_settings,     // every setting the editor may ignore fails
    wv2_failure_count
};

// Settings as the editor last put them; -1 when never put.
struct wv2_double_settings {
    int script_enabled, web_message_enabled, default_script_dialogs, status_bar, dev_tools;
    int context_menus, host_objects, zoom_control, built_in_error_page;
    int accelerator_keys, password_autosave, general_autofill, pinch_zoom, swipe_navigation;
    int external_drop;
};

// What one editor's environment and control have seen.
struct wv2_double_view {
    wchar_t user_data_folder[MAX_PATH];
    wchar_t browser_arguments[256];
    wchar_t target_version[64];
    int language_set;
    BOOL single_sign_on;
    wchar_t caller_window_class[64];  // the view window's class, seen at the environment's start
    HWND parent;                      // window given to CreateCoreWebView2Controller
    int parent_visible_at_creation;
    RECT parent_rect_at_creation;
    wv2_double_settings settings;
    wchar_t navigated[MAX_PATH];
    int navigate_count;
    RECT bounds;
    int bounds_count;
    int visible;
    int visible_count;
    int focus_count;
    int closed;
    int handlers_registered;          // web message, navigation and new window handlers held
};

struct wv2_double_api {
    // Forgets every editor seen so far and arms no failure.
    void (*reset)(void);
    void (*fail_at)(int failure);
    // Whether settings 3 to 6 and controller 4 are offered (they are by default).
    void (*offer_newer_interfaces)(int offered);

    int (*view_count)(void);
    // The index of the view whose control lives in this window, or -1.
    int (*find_view)(HWND view_window);
    const wv2_double_view* (*view)(int index);

    // Page messages, navigations and new-window requests, raised on the UI
    // thread from any thread; each returns the editor handler's result once
    // it has run, or HRESULT_FROM_WIN32(WAIT_TIMEOUT) after a few seconds.
    HRESULT (*deliver_string)(int view, const wchar_t* text);
    HRESULT (*deliver_json)(int view, const wchar_t* json);
    HRESULT (*navigate)(int view, const wchar_t* uri, BOOL* cancelled);
    HRESULT (*request_new_window)(int view, const wchar_t* uri, BOOL* handled);
    // Raises a page message and returns at once (1 when queued).
    int (*post_string)(int view, const wchar_t* text);

    // What the page was sent with PostWebMessageAsString.
    int (*sent_count)(int view);
    // Copies the n-th message into out; its length, or -1 when there is none.
    int (*sent_text)(int view, int n, wchar_t* out, int capacity);
    void (*clear_sent)(int view);

    // Objects of the double not yet freed, and references it holds on the editor's objects.
    int (*live_objects)(void);
    int (*client_references)(void);
    // Calls that reached a slot the double does not implement; the last one's description.
    int (*unexpected_calls)(void);
    const char* (*last_unexpected_call)(void);
};

typedef const wv2_double_api* (*wv2_double_steering_fn)(void);
