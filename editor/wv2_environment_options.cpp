#include "wv2_environment_options.h"

#include <string.h>
#include <wchar.h>

LPWSTR task_memory_copy(LPCWSTR text)
{
    size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
    LPWSTR copy = (LPWSTR)CoTaskMemAlloc(bytes);
    if (copy)
        memcpy(copy, text, bytes);
    return copy;
}

WV2EnvironmentOptions::WV2EnvironmentOptions()
    : additional_browser_arguments(NULL),
      language(NULL),
      target_compatible_browser_version(task_memory_copy(L"131.0.2903.40")),
      allow_single_sign_on(FALSE),
      ref_count(1)
{
}

WV2EnvironmentOptions::~WV2EnvironmentOptions()
{
    CoTaskMemFree(additional_browser_arguments);
    CoTaskMemFree(language);
    CoTaskMemFree(target_compatible_browser_version);
}

HRESULT STDMETHODCALLTYPE WV2EnvironmentOptions::QueryInterface(REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    if (IsEqualIID(iid, IID_ICoreWebView2EnvironmentOptions) || IsEqualIID(iid, IID_IUnknown)) {
        *out = static_cast<ICoreWebView2EnvironmentOptions*>(this);
        AddRef();
        return S_OK;
    }
    *out = NULL;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE WV2EnvironmentOptions::AddRef()
{
    return ++ref_count;
}

ULONG STDMETHODCALLTYPE WV2EnvironmentOptions::Release()
{
    ULONG count = --ref_count;
    if (count == 0)
        delete this;
    return count;
}

// A failed copy reports E_OUTOFMEMORY: the task allocator sets no last
// error, so a code made from it could read as success.
static HRESULT get_string(LPCWSTR stored, LPWSTR* value)
{
    if (!value)
        return E_POINTER;
    *value = NULL;
    if (!stored)
        return S_OK;
    *value = task_memory_copy(stored);
    return *value ? S_OK : E_OUTOFMEMORY;
}

static HRESULT put_string(LPWSTR* stored, LPCWSTR value)
{
    CoTaskMemFree(*stored);
    *stored = NULL;
    if (!value)
        return S_OK;
    *stored = task_memory_copy(value);
    return *stored ? S_OK : E_OUTOFMEMORY;
}

HRESULT STDMETHODCALLTYPE WV2EnvironmentOptions::get_AdditionalBrowserArguments(LPWSTR* value)
{
    return get_string(additional_browser_arguments, value);
}

HRESULT STDMETHODCALLTYPE WV2EnvironmentOptions::put_AdditionalBrowserArguments(LPCWSTR value)
{
    return put_string(&additional_browser_arguments, value);
}

HRESULT STDMETHODCALLTYPE WV2EnvironmentOptions::get_Language(LPWSTR* value)
{
    return get_string(language, value);
}

HRESULT STDMETHODCALLTYPE WV2EnvironmentOptions::put_Language(LPCWSTR value)
{
    return put_string(&language, value);
}

HRESULT STDMETHODCALLTYPE WV2EnvironmentOptions::get_TargetCompatibleBrowserVersion(LPWSTR* value)
{
    return get_string(target_compatible_browser_version, value);
}

HRESULT STDMETHODCALLTYPE WV2EnvironmentOptions::put_TargetCompatibleBrowserVersion(LPCWSTR value)
{
    return put_string(&target_compatible_browser_version, value);
}

HRESULT STDMETHODCALLTYPE WV2EnvironmentOptions::get_AllowSingleSignOnUsingOSPrimaryAccount(BOOL* allow)
{
    if (!allow)
        return E_POINTER;
    *allow = allow_single_sign_on;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE WV2EnvironmentOptions::put_AllowSingleSignOnUsingOSPrimaryAccount(BOOL allow)
{
    allow_single_sign_on = allow;
    return S_OK;
}
