#include "wv2_handler.h"

#include <stdlib.h>
#include <wchar.h>

#include "editor.h"
#include "external_link.h"
#include "page_dispatch.h"
#include "wv2_environment_options.h"

WV2Handler::WV2Handler(editor* owner_editor, const wchar_t* path)
    : ref_count(1), owner(owner_editor), page_path(path ? task_memory_copy(path) : NULL)
{
}

WV2Handler::~WV2Handler()
{
    CoTaskMemFree(page_path);
}

HRESULT STDMETHODCALLTYPE WV2Handler::QueryInterface(REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler))
        *out = static_cast<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler*>(this);
    else if (IsEqualIID(iid, IID_ICoreWebView2CreateCoreWebView2ControllerCompletedHandler))
        *out = static_cast<ICoreWebView2CreateCoreWebView2ControllerCompletedHandler*>(this);
    else if (IsEqualIID(iid, IID_ICoreWebView2WebMessageReceivedEventHandler))
        *out = static_cast<ICoreWebView2WebMessageReceivedEventHandler*>(this);
    else if (IsEqualIID(iid, IID_ICoreWebView2NavigationStartingEventHandler))
        *out = static_cast<ICoreWebView2NavigationStartingEventHandler*>(this);
    else if (IsEqualIID(iid, IID_ICoreWebView2NewWindowRequestedEventHandler))
        *out = static_cast<ICoreWebView2NewWindowRequestedEventHandler*>(this);
    else {
        *out = NULL;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE WV2Handler::AddRef()
{
    return ++ref_count;
}

ULONG STDMETHODCALLTYPE WV2Handler::Release()
{
    ULONG count = --ref_count;
    if (count == 0)
        delete this;
    return count;
}

void WV2Handler::report_ready(int ready)
{
    PostMessageW(owner->view_window, EDITOR_MSG_READY, ready ? 1 : 0, 0);
}

HRESULT STDMETHODCALLTYPE WV2Handler::Invoke(HRESULT result, ICoreWebView2Environment* environment)
{
    if (FAILED(result) || !environment) {
        report_ready(0);
        return FAILED(result) ? result : E_POINTER;
    }
    HRESULT hr = environment->CreateCoreWebView2Controller(
        owner->view_window, static_cast<ICoreWebView2CreateCoreWebView2ControllerCompletedHandler*>(this));
    if (FAILED(hr))
        report_ready(0);
    return hr;
}

// The page's settings are a plug-in's, not a browser's: no menus, tools,
// zoom, dialogs, autofill or gestures.  Only the calls after the optional
// ones must succeed.
HRESULT WV2Handler::configure(ICoreWebView2Controller* controller, ICoreWebView2* webview,
                              ICoreWebView2Settings* settings)
{
    settings->put_AreDefaultContextMenusEnabled(FALSE);
    settings->put_AreDevToolsEnabled(FALSE);
    settings->put_IsStatusBarEnabled(FALSE);
    settings->put_IsZoomControlEnabled(FALSE);
    settings->put_AreDefaultScriptDialogsEnabled(FALSE);

    ICoreWebView2Settings3* settings3 = NULL;
    if (SUCCEEDED(settings->QueryInterface(IID_ICoreWebView2Settings3, (void**)&settings3)) && settings3) {
        settings3->put_AreBrowserAcceleratorKeysEnabled(FALSE);
        settings3->Release();
    }
    ICoreWebView2Settings4* settings4 = NULL;
    if (SUCCEEDED(settings->QueryInterface(IID_ICoreWebView2Settings4, (void**)&settings4)) && settings4) {
        settings4->put_IsPasswordAutosaveEnabled(FALSE);
        settings4->put_IsGeneralAutofillEnabled(FALSE);
        settings4->Release();
    }
    ICoreWebView2Settings5* settings5 = NULL;
    if (SUCCEEDED(settings->QueryInterface(IID_ICoreWebView2Settings5, (void**)&settings5)) && settings5) {
        settings5->put_IsPinchZoomEnabled(FALSE);
        settings5->Release();
    }
    ICoreWebView2Settings6* settings6 = NULL;
    if (SUCCEEDED(settings->QueryInterface(IID_ICoreWebView2Settings6, (void**)&settings6)) && settings6) {
        settings6->put_IsSwipeNavigationEnabled(FALSE);
        settings6->Release();
    }
    ICoreWebView2Controller4* controller4 = NULL;
    if (SUCCEEDED(controller->QueryInterface(IID_ICoreWebView2Controller4, (void**)&controller4)) && controller4) {
        controller4->put_AllowExternalDrop(FALSE);
        controller4->Release();
    }

    if (settings->put_IsScriptEnabled(TRUE) != S_OK)
        return E_FAIL;
    if (FAILED(settings->put_AreHostObjectsAllowed(TRUE)))
        return E_FAIL;
    RECT bounds;
    if (!GetClientRect(owner->view_window, &bounds) || FAILED(controller->put_Bounds(bounds)))
        return E_FAIL;
    // The registrations last until the control is closed; their tokens are not needed.
    EventRegistrationToken token;
    if (FAILED(webview->add_WebMessageReceived(static_cast<ICoreWebView2WebMessageReceivedEventHandler*>(this), &token)))
        return E_FAIL;
    if (FAILED(webview->add_NavigationStarting(static_cast<ICoreWebView2NavigationStartingEventHandler*>(this), &token)))
        return E_FAIL;
    if (FAILED(webview->add_NewWindowRequested(static_cast<ICoreWebView2NewWindowRequestedEventHandler*>(this), &token)))
        return E_FAIL;
    if (!page_path || FAILED(webview->Navigate(page_path)))
        return E_FAIL;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE WV2Handler::Invoke(HRESULT result, ICoreWebView2Controller* controller)
{
    if (FAILED(result) || !controller) {
        report_ready(0);
        return FAILED(result) ? result : E_POINTER;
    }
    ICoreWebView2* webview = NULL;
    ICoreWebView2Settings* settings = NULL;
    HRESULT hr = E_FAIL;
    if (SUCCEEDED(controller->get_CoreWebView2(&webview)) && webview &&
        SUCCEEDED(webview->get_Settings(&settings)) && settings)
        hr = configure(controller, webview, settings);
    if (settings)
        settings->Release();
    if (webview)
        webview->Release();
    if (FAILED(hr)) {
        // A registered handler's events are not wanted: closing the control drops them.
        if (webview)
            controller->Close();
        report_ready(0);
        return E_FAIL;
    }
    controller->AddRef();
    owner->controller = controller;
    report_ready(1);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE WV2Handler::Invoke(ICoreWebView2*, ICoreWebView2WebMessageReceivedEventArgs* args)
{
    LPWSTR text = NULL;
    HRESULT hr = args->TryGetWebMessageAsString(&text);
    if (FAILED(hr) || !text) {
        CoTaskMemFree(text);
        return FAILED(hr) ? hr : E_POINTER;
    }
    int bytes = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, -1, NULL, 0, NULL, NULL);
    if (bytes <= 0) {
        hr = HRESULT_FROM_WIN32(GetLastError());
        CoTaskMemFree(text);
        return hr;
    }
    // The dispatcher reads the text before anything it calls can wait, so a
    // page message dispatched meanwhile may reuse the buffer.
    char* utf8 = (size_t)bytes <= sizeof conversion_buffer ? conversion_buffer : (char*)malloc((size_t)bytes);
    if (!utf8) {
        CoTaskMemFree(text);
        return E_OUTOFMEMORY;
    }
    WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, -1, utf8, bytes, NULL, NULL);
    page_dispatch(owner, &owner->page_callbacks, utf8);
    if (utf8 != conversion_buffer)
        free(utf8);
    CoTaskMemFree(text);
    return S_OK;
}

static int is_local(LPCWSTR uri)
{
    return wcsncmp(uri, L"file:", 5) == 0;
}

HRESULT STDMETHODCALLTYPE WV2Handler::Invoke(ICoreWebView2*, ICoreWebView2NavigationStartingEventArgs* args)
{
    LPWSTR uri = NULL;
    HRESULT hr = args->get_Uri(&uri);
    if (FAILED(hr))
        return hr;
    // Only local files are shown here; every other address leaves for the browser, or nowhere.
    if (!uri || !is_local(uri)) {
        args->put_Cancel(TRUE);
        open_link_externally(uri);
    }
    CoTaskMemFree(uri);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE WV2Handler::Invoke(ICoreWebView2*, ICoreWebView2NewWindowRequestedEventArgs* args)
{
    LPWSTR uri = NULL;
    HRESULT hr = args->get_Uri(&uri);
    if (FAILED(hr))
        return hr;
    if (!uri || !is_local(uri)) {
        args->put_Handled(TRUE);
        open_link_externally(uri);
    }
    CoTaskMemFree(uri);
    return S_OK;
}
