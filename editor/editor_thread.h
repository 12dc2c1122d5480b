// The editor's UI thread: it owns the view window and every WebView2 object,
// runs the page dispatcher and carries out the commands of other threads.
#pragma once

#include <windows.h>

#include "webview2.h"

struct editor;

// Built on editor_create's stack; the UI thread reads it only until its
// start-up has ended (the control is ready and parented, or it failed).
struct editor_startup {
    editor* owner;
    uint8_t is_child;
    HWND parent;
    int width;
    int height;
    create_environment_with_options_fn create_environment;
    const wchar_t* page_path;
    const wchar_t* reserved_name;  // placeholder file naming the user-data folder
};

DWORD WINAPI editor_ui_thread(void* startup);

enum { editor_command_handled = 0, editor_command_quit = 1 };

// One message the UI thread took from its queue: the commands of other
// threads are carried out (each answered through reply_sem), anything else
// is dispatched.  editor_command_quit when the editor is to close.
int editor_ui_command(editor* e, const MSG* msg);
