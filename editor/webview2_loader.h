// What editor_create prepares on the host thread before the UI thread starts:
// the loader library and its entry point, the page's path and the name of
// the temporary user-data folder.
#pragma once

#include <windows.h>

#include "webview2.h"

// "WebView2Loader.dll" in binary_dir (a path in the system code page).
// 0 with the library and its entry point, else -1 with nothing loaded.
int webview2_loader_open(const char* binary_dir, HMODULE* library, create_environment_with_options_fn* entry);

// The wide path of "index.html" in resources_dir (UTF-8); null when the
// folder text is not valid UTF-8.  Freed with free().
wchar_t* webview2_page_path(const char* resources_dir);

// Creates an empty placeholder file with a new unique name in the user's
// temporary folder and returns its path (freed with free()); the user-data
// folder takes that name without its extension.  Null on failure.
wchar_t* webview2_reserve_user_data_name(void);
