// Links: the page shows only local files; web and mail addresses go to the
// system's URL handler (a stub rundll32 beside the test program records its
// command line), and anything else goes nowhere.
#include <stdio.h>

#include "editor_fixture.h"

namespace {

std::string started_handlers(const editor_world& world)
{
    std::wstring path = world.folder + L"\\rundll32.txt";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0,
                              NULL);
    if (file == INVALID_HANDLE_VALUE)
        return "";
    char buffer[8192];
    DWORD got = 0;
    ReadFile(file, buffer, sizeof buffer - 1, &got, NULL);
    CloseHandle(file);
    buffer[got] = 0;
    DeleteFileW(path.c_str());
    return buffer;
}

struct link_case {
    const wchar_t* uri;
    BOOL cancelled;
    const char* command;  // what the URL handler was started with, or empty
};

TEST_F(editor_fixture, navigations_away_from_local_files_are_cancelled_and_only_web_links_are_opened)
{
    editor* e = open_editor(1);
    ASSERT_TRUE(e != NULL);
    int view = view_of(e);
    const link_case cases[] = {
        {L"https://morvo.example/news?id=3", TRUE,
         "rundll32 url.dll,FileProtocolHandler \"https://morvo.example/news?id=3\"\n"},
        {L"http://morvo.example/", TRUE, "rundll32 url.dll,FileProtocolHandler \"http://morvo.example/\"\n"},
        {L"HTTPS://morvo.example/", TRUE, "rundll32 url.dll,FileProtocolHandler \"HTTPS://morvo.example/\"\n"},
        {L"mailto:support@morvo.example", TRUE,
         "rundll32 url.dll,FileProtocolHandler \"mailto:support@morvo.example\"\n"},
        {L"file:///C:/plugin/index.html", FALSE, ""},
        {L"javascript:alert(1)", TRUE, ""},
        {L"ms-settings:privacy", TRUE, ""},
        {L"data:text/html,hi", TRUE, ""},
        {L"FILE:///C:/x", TRUE, ""},  // the local rule is case-sensitive; the rest goes nowhere
        {L"https://morvo.example/\" & calc & \"", TRUE, ""},
        {L"https://morvo.example/\r\nx", TRUE, ""},
        {L"https://morvo.example/\x7f", TRUE, ""},
    };
    for (const link_case& c : cases) {
        SCOPED_TRACE(utf8_of(c.uri));
        BOOL cancelled = -1;
        EXPECT_EQ(world.wv2->navigate(view, c.uri, &cancelled), S_OK);
        EXPECT_EQ(cancelled, c.cancelled);
        EXPECT_EQ(started_handlers(world), c.command);
    }
    close_editor(e);
}

TEST_F(editor_fixture, new_windows_for_web_links_open_in_the_browser_and_local_ones_are_left_to_webview2)
{
    editor* e = open_editor(1);
    ASSERT_TRUE(e != NULL);
    int view = view_of(e);
    BOOL handled = -1;
    EXPECT_EQ(world.wv2->request_new_window(view, L"https://morvo.example/", &handled), S_OK);
    EXPECT_TRUE(handled);
    EXPECT_EQ(started_handlers(world), "rundll32 url.dll,FileProtocolHandler \"https://morvo.example/\"\n");
    handled = -1;
    EXPECT_EQ(world.wv2->request_new_window(view, L"file:///C:/plugin/help.html", &handled), S_OK);
    EXPECT_FALSE(handled);
    handled = -1;
    EXPECT_EQ(world.wv2->request_new_window(view, L"vbscript:msgbox", &handled), S_OK);
    EXPECT_TRUE(handled);
    EXPECT_EQ(started_handlers(world), "");
    close_editor(e);
}

}  // namespace
