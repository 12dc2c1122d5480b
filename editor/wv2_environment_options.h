// The options handed to the WebView2 environment: the browser arguments, the
// language, the browser version the page was made for, and single sign-on.
#pragma once

#include <atomic>

#include "webview2.h"

class WV2EnvironmentOptions : public ICoreWebView2EnvironmentOptions {
public:
    WV2EnvironmentOptions();
    virtual ~WV2EnvironmentOptions();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE get_AdditionalBrowserArguments(LPWSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_AdditionalBrowserArguments(LPCWSTR value) override;
    HRESULT STDMETHODCALLTYPE get_Language(LPWSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_Language(LPCWSTR value) override;
    HRESULT STDMETHODCALLTYPE get_TargetCompatibleBrowserVersion(LPWSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_TargetCompatibleBrowserVersion(LPCWSTR value) override;
    HRESULT STDMETHODCALLTYPE get_AllowSingleSignOnUsingOSPrimaryAccount(BOOL* allow) override;
    HRESULT STDMETHODCALLTYPE put_AllowSingleSignOnUsingOSPrimaryAccount(BOOL allow) override;

private:
    LPWSTR additional_browser_arguments;  // task memory, or null
    LPWSTR language;
    LPWSTR target_compatible_browser_version;
    BOOL allow_single_sign_on;
    std::atomic<ULONG> ref_count;
};

// A task-memory copy of text (freed with CoTaskMemFree), or null.
LPWSTR task_memory_copy(LPCWSTR text);
