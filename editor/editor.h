// The web editor of one open view: a view window holding the WebView2
// control that shows the plug-in's page, the editor's own UI thread, and the
// synchronous exchanges between that thread and the host's thread.
#pragma once

#include <stdint.h>
#include <windows.h>

struct ICoreWebView2Controller;
struct editor;

// What the format layer gives editor_create; copied into the editor.
// The three edit callbacks always run on the host thread.
struct editor_callbacks {
    void* user_data;
    const char* format_name;                            // carried along, not interpreted
    const char* (*get_binary_dir)(void* user_data);     // holds "WebView2Loader.dll"; system code page
    const char* (*get_resources_dir)(void* user_data);  // holds "index.html"; UTF-8
    void (*begin_edit)(void* user_data, uint32_t index, float value);
    void (*perform_edit)(void* user_data, uint32_t index, float value);
    void (*end_edit)(void* user_data, uint32_t index, float value);
};

// Receives the payload of every page message tagged "m", on the UI thread.
typedef void (*editor_message_handler)(editor* e, const char* text);

// What the page dispatcher calls: the editor's own relays in place of the
// edit callbacks, then the handler and the values the page was last shown.
struct editor_page_callbacks {
    void* user_data;  // the editor
    const char* format_name;
    const char* (*get_binary_dir)(void* user_data);
    const char* (*get_resources_dir)(void* user_data);
    void (*begin_edit)(void* user_data, uint32_t index, float value);
    void (*perform_edit)(void* user_data, uint32_t index, float value);
    void (*end_edit)(void* user_data, uint32_t index, float value);
    editor_message_handler message_handler;
    float* values;
    uint32_t param_count;
};

// Window messages; a float travels as its bit pattern in the low half of lParam.
enum {
    EDITOR_MSG_READY = 0x8000,          // view window; wParam 1 ready, 0 failed
    EDITOR_MSG_QUIT = 0x8001,           // view window
    EDITOR_MSG_SET_PARAMETER = 0x8002,  // view window; wParam index
    EDITOR_MSG_SEND_TEXT = 0x8003,      // view window; lParam UTF-8 text
    EDITOR_MSG_BEGIN_EDIT = 0x8004,     // relay window; wParam index
    EDITOR_MSG_PERFORM_EDIT = 0x8005,   // relay window
    EDITOR_MSG_END_EDIT = 0x8006,       // relay window
    EDITOR_MSG_SET_SIZE = 0x8007,       // view window; wParam width, lParam height
};

struct editor {
    HWND view_window;  // first: the format layers use it directly
    HMODULE loader;
    uint32_t host_thread_id;
    HANDLE reply_sem;  // UI thread: start-up ended, command done, thread exiting
    uint32_t ui_thread_id;
    ICoreWebView2Controller* controller;
    editor_callbacks callbacks;
    editor_page_callbacks page_callbacks;
    wchar_t relay_class_name[24];
    HWND relay_window;  // owned by the host thread
    HANDLE relay_sem;   // edit callback done, or a nested set handed over
    HANDLE channel_sem; // the token: its holder may start one synchronous exchange
    uint8_t in_host_callback;
    uint32_t pending_index;
    float pending_value;
    // Beyond the exchange itself:
    HANDLE ui_thread;              // waited for, so that none of our code runs once destroy returns
    volatile LONG relay_waiting;   // a relay waits for the relay window, which may be destroyed under it
    uint8_t ui_closing;            // the UI thread was told to close while busy
};

// On the host thread, which must keep running a message loop: opens the view
// (a child of parent when is_child, else a visible top-level window) and
// returns once the page's control is ready, or null, leaving nothing behind.
editor* editor_create(uint8_t is_child, HWND parent, const editor_callbacks* callbacks,
                      editor_message_handler handler, int width, int height, uint32_t param_count);

// On the host thread; also after the view window is gone.
void editor_destroy(editor* e);

// Any thread; blocks until the value is on its way to the page.  0 when sent.
int editor_set_parameter(editor* e, uint32_t index, float value);

// Any thread but not from inside an edit callback; blocks until the text is on its way.
void editor_send_message(editor* e, const char* text);

// Does nothing: the UI thread runs its own loop.
void editor_idle(editor* e);

// Resizes the view window from any thread at any moment without waiting for
// the UI thread (which may itself be waiting for the host).  0 when queued.
int editor_set_size(editor* e, int width, int height);
