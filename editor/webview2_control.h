// The WebView2 control in the view window, driven from the UI thread: start
// the environment, show, focus and size the control, and stop it all again.
#pragma once

#include <windows.h>

struct editor;
struct editor_startup;
class WV2Handler;
class WV2EnvironmentOptions;

// What the UI thread holds while the control lives.
struct webview2_session {
    wchar_t* user_data_folder;  // followed by two NULs, as the shell's delete wants
    WV2EnvironmentOptions* options;
    WV2Handler* handler;
};

// From here on the handler posts EDITOR_MSG_READY exactly once.  0 started.
int webview2_start(editor* e, webview2_session* session, const editor_startup* startup);

// Closes the control, deletes the user-data folder and drops every
// reference, as far as webview2_start got.
void webview2_stop(editor* e, webview2_session* session);

int webview2_show(editor* e);
void webview2_focus(editor* e);
void webview2_fit_to_window(editor* e);
