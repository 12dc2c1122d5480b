// The one object that receives every WebView2 completion and event of an
// editor: the environment and the controller being created, the page's
// messages, navigations and requests for new windows.
#pragma once

#include <atomic>

#include "webview2.h"

struct editor;

class WV2Handler : public ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler,
                   public ICoreWebView2CreateCoreWebView2ControllerCompletedHandler,
                   public ICoreWebView2WebMessageReceivedEventHandler,
                   public ICoreWebView2NavigationStartingEventHandler,
                   public ICoreWebView2NewWindowRequestedEventHandler {
public:
    WV2Handler(editor* owner, const wchar_t* page_path);
    virtual ~WV2Handler();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE Invoke(HRESULT result, ICoreWebView2Environment* environment) override;
    HRESULT STDMETHODCALLTYPE Invoke(HRESULT result, ICoreWebView2Controller* controller) override;
    HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2* sender, ICoreWebView2WebMessageReceivedEventArgs* args) override;
    HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2* sender, ICoreWebView2NavigationStartingEventArgs* args) override;
    HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2* sender, ICoreWebView2NewWindowRequestedEventArgs* args) override;

private:
    void report_ready(int ready);
    HRESULT configure(ICoreWebView2Controller* controller, ICoreWebView2* webview, ICoreWebView2Settings* settings);

    std::atomic<ULONG> ref_count;  // shared by all five interfaces
    editor* owner;                 // not counted
    LPWSTR page_path;              // task memory; navigated to once the controller exists
    char conversion_buffer[1024];  // page messages whose UTF-8 form fits
};
