// The two COM objects WebView2 receives from us: one identity whichever
// interface is asked, counted references, and the options' strings.
#include <gtest/gtest.h>

#include "wv2_environment_options.h"
#include "wv2_handler.h"

namespace {

TEST(wv2_handler, answers_the_same_object_for_each_of_its_interfaces_and_iunknown)
{
    WV2Handler* handler = new WV2Handler(NULL, L"C:\\page\\index.html");
    IUnknown* faces[6] = {};
    const IID* iids[6] = {&IID_IUnknown,
                          &IID_ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler,
                          &IID_ICoreWebView2CreateCoreWebView2ControllerCompletedHandler,
                          &IID_ICoreWebView2WebMessageReceivedEventHandler,
                          &IID_ICoreWebView2NavigationStartingEventHandler,
                          &IID_ICoreWebView2NewWindowRequestedEventHandler};
    IUnknown* start = static_cast<ICoreWebView2NavigationStartingEventHandler*>(handler);
    for (int i = 0; i < 6; ++i)
        ASSERT_EQ(start->QueryInterface(*iids[i], (void**)&faces[i]), S_OK) << i;
    // Asked from any face, each interface gives the same pointer, and
    // IUnknown names the one object.
    for (int from = 1; from < 6; ++from) {
        for (int i = 0; i < 6; ++i) {
            IUnknown* again = NULL;
            ASSERT_EQ(faces[from]->QueryInterface(*iids[i], (void**)&again), S_OK);
            EXPECT_EQ(again, faces[i]) << from << " " << i;
            again->Release();
        }
    }
    IUnknown* none = (IUnknown*)1;
    EXPECT_EQ(start->QueryInterface(IID_ICoreWebView2Environment, (void**)&none), E_NOINTERFACE);
    EXPECT_TRUE(none == NULL);
    EXPECT_EQ(start->QueryInterface(IID_IUnknown, NULL), E_POINTER);
    // One count for all faces: 1 + the six answers.
    EXPECT_EQ(faces[3]->AddRef(), 8u);
    EXPECT_EQ(faces[5]->Release(), 7u);
    for (int i = 0; i < 6; ++i)
        faces[i]->Release();
    EXPECT_EQ(start->Release(), 0u);
}

TEST(wv2_environment_options, answers_its_interface_and_iunknown_only)
{
    WV2EnvironmentOptions* options = new WV2EnvironmentOptions();
    IUnknown* unknown = NULL;
    ICoreWebView2EnvironmentOptions* face = NULL;
    ASSERT_EQ(options->QueryInterface(IID_IUnknown, (void**)&unknown), S_OK);
    ASSERT_EQ(options->QueryInterface(IID_ICoreWebView2EnvironmentOptions, (void**)&face), S_OK);
    EXPECT_EQ((void*)unknown, (void*)face);
    void* other = (void*)1;
    EXPECT_EQ(options->QueryInterface(IID_ICoreWebView2Settings, &other), E_NOINTERFACE);
    EXPECT_TRUE(other == NULL);
    unknown->Release();
    face->Release();
    EXPECT_EQ(options->Release(), 0u);
}

TEST(wv2_environment_options, strings_are_copied_in_and_out_of_task_memory)
{
    WV2EnvironmentOptions* options = new WV2EnvironmentOptions();
    LPWSTR text = (LPWSTR)1;
    EXPECT_EQ(options->get_TargetCompatibleBrowserVersion(&text), S_OK);
    EXPECT_STREQ(text, L"131.0.2903.40");
    CoTaskMemFree(text);
    EXPECT_EQ(options->get_Language(&text), S_OK);
    EXPECT_TRUE(text == NULL);
    EXPECT_EQ(options->get_AdditionalBrowserArguments(NULL), E_POINTER);

    wchar_t argument[] = L"--allow-file-access-from-files";
    EXPECT_EQ(options->put_AdditionalBrowserArguments(argument), S_OK);
    argument[0] = L'x';  // the option keeps its own copy
    EXPECT_EQ(options->get_AdditionalBrowserArguments(&text), S_OK);
    EXPECT_STREQ(text, L"--allow-file-access-from-files");
    CoTaskMemFree(text);
    EXPECT_EQ(options->put_AdditionalBrowserArguments(NULL), S_OK);
    EXPECT_EQ(options->get_AdditionalBrowserArguments(&text), S_OK);
    EXPECT_TRUE(text == NULL);

    BOOL allow = TRUE;
    EXPECT_EQ(options->get_AllowSingleSignOnUsingOSPrimaryAccount(&allow), S_OK);
    EXPECT_FALSE(allow);
    EXPECT_EQ(options->put_AllowSingleSignOnUsingOSPrimaryAccount(TRUE), S_OK);
    EXPECT_EQ(options->get_AllowSingleSignOnUsingOSPrimaryAccount(&allow), S_OK);
    EXPECT_TRUE(allow);
    EXPECT_EQ(options->get_AllowSingleSignOnUsingOSPrimaryAccount(NULL), E_POINTER);
    options->Release();
}

}  // namespace
