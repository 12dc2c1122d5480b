#include "webview2_control.h"

#include <new>
#include <shellapi.h>
#include <stdlib.h>
#include <wchar.h>

#include "editor.h"
#include "editor_thread.h"
#include "wv2_environment_options.h"
#include "wv2_handler.h"

// The folder is named like the placeholder file, without its ".tmp".
static wchar_t* user_data_folder_of(const wchar_t* reserved_name)
{
    size_t length = wcslen(reserved_name);
    if (length < 4)
        return NULL;
    wchar_t* folder = (wchar_t*)malloc((length + 1) * sizeof(wchar_t));
    if (!folder)
        return NULL;
    wcscpy(folder, reserved_name);
    folder[length - 4] = 0;
    folder[length - 3] = 0;
    return folder;
}

int webview2_start(editor* e, webview2_session* session, const editor_startup* startup)
{
    session->user_data_folder = user_data_folder_of(startup->reserved_name);
    if (!session->user_data_folder)
        return -1;
    session->options = new (std::nothrow) WV2EnvironmentOptions();
    session->handler = new (std::nothrow) WV2Handler(e, startup->page_path);
    if (!session->options || !session->handler)
        return -1;
    if (FAILED(session->options->put_AdditionalBrowserArguments(L"--allow-file-access-from-files")))
        return -1;
    HRESULT hr = startup->create_environment(
        NULL, session->user_data_folder, session->options,
        static_cast<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler*>(session->handler));
    return FAILED(hr) ? -1 : 0;
}

void webview2_stop(editor* e, webview2_session* session)
{
    if (e->controller) {
        e->controller->Close();
        e->controller->Release();
        e->controller = NULL;
    }
    if (session->user_data_folder) {
        // Recursive, permanent and silent; the browser may still hold files, and
        // then what it holds stays.
        SHFILEOPSTRUCTW operation = {};
        operation.wFunc = FO_DELETE;
        operation.pFrom = session->user_data_folder;
        operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
        SHFileOperationW(&operation);
    }
    if (session->handler)
        session->handler->Release();
    if (session->options)
        session->options->Release();
    free(session->user_data_folder);
    session->handler = NULL;
    session->options = NULL;
    session->user_data_folder = NULL;
}

int webview2_show(editor* e)
{
    return SUCCEEDED(e->controller->put_IsVisible(TRUE)) ? 0 : -1;
}

void webview2_focus(editor* e)
{
    if (e->controller)
        e->controller->MoveFocus(COREWEBVIEW2_MOVE_FOCUS_REASON_PROGRAMMATIC);
}

void webview2_fit_to_window(editor* e)
{
    RECT client;
    if (e->controller && GetClientRect(e->view_window, &client))
        e->controller->put_Bounds(client);
}
