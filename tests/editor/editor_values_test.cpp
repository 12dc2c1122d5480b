// Parameter values both ways: from the host to the page as "s %08x %08x",
// and the page's edits to the host's callbacks, without either thread ever
// blocking the other.
#include <string.h>

#include "editor_fixture.h"

namespace {

struct set_call {
    editor* e;
    uint32_t index;
    float value;
    int result;
    int rounds;
};

void set_job(void* context)
{
    set_call* call = (set_call*)context;
    for (int i = 0; i < (call->rounds ? call->rounds : 1); ++i)
        call->result = editor_set_parameter(call->e, call->index, call->value + (float)i);
}

DWORD WINAPI set_from_third_thread(void* context)
{
    set_job(context);
    return 0;
}

std::wstring page_edit(char tag, uint32_t index, float value)
{
    uint32_t bits;
    memcpy(&bits, &value, sizeof bits);
    wchar_t text[40];
    swprintf(text, 40, L"%c %x %08x", tag, (unsigned)index, (unsigned)bits);
    return text;
}

TEST_F(editor_fixture, values_reach_the_page_from_the_host_the_ui_and_a_third_thread)
{
    editor* e = open_editor(1);
    ASSERT_TRUE(e != NULL);
    int view = view_of(e);

    set_call host_call = {e, 0, 12.5f, -1, 0};
    on_host(set_job, &host_call);
    EXPECT_EQ(host_call.result, 0);

    set_call third_call = {e, 4, 150.0f, -1, 0};
    HANDLE third = CreateThread(NULL, 0, set_from_third_thread, &third_call, 0, NULL);
    ASSERT_EQ(WaitForSingleObject(third, 10000), WAIT_OBJECT_0);
    CloseHandle(third);
    EXPECT_EQ(third_call.result, 0);

    // The message handler runs on the UI thread.
    world.handler_sets_parameter = 1;
    EXPECT_EQ(world.wv2->deliver_string(view, L"m set"), S_OK);
    EXPECT_EQ(world.handler_set_result, 0);

    std::vector<std::wstring> page = sent(view);
    ASSERT_EQ(page.size(), 3u);
    EXPECT_EQ(page[0], L"s 00000000 41480000");
    EXPECT_EQ(page[1], value_message(4, 150.0f));
    EXPECT_EQ(page[2], value_message(1, 25.0f));
    // An index beyond the count never reaches the value array.
    set_call beyond = {e, 6, 1.0f, 0, 0};
    on_host(set_job, &beyond);
    EXPECT_NE(beyond.result, 0);
    EXPECT_EQ(sent(view).size(), 3u);
    close_editor(e);
}

TEST_F(editor_fixture, page_edits_reach_the_host_callbacks_on_the_host_thread)
{
    editor* e = open_editor(1);
    ASSERT_TRUE(e != NULL);
    int view = view_of(e);
    EXPECT_EQ(world.wv2->deliver_string(view, page_edit('b', 0, 10.0f).c_str()), S_OK);
    EXPECT_EQ(world.wv2->deliver_string(view, page_edit('s', 0, 20.0f).c_str()), S_OK);
    EXPECT_EQ(world.wv2->deliver_string(view, L"s 5 3f800000"), S_OK);
    EXPECT_EQ(world.wv2->deliver_string(view, L"e 0x0 0X41F00000"), S_OK);

    std::vector<edit_record> got = edits();
    ASSERT_EQ(got.size(), 4u);
    const edit_record expected[] = {{'b', 0, 10.0f, true}, {'s', 0, 20.0f, true}, {'s', 5, 1.0f, true},
                                    {'e', 0, 30.0f, true}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(got[i].kind, expected[i].kind) << i;
        EXPECT_EQ(got[i].index, expected[i].index) << i;
        EXPECT_EQ(got[i].value, expected[i].value) << i;
        EXPECT_TRUE(got[i].on_host_thread) << i;
    }

    // "g" replays the stored values in index order: the page's own edits and the host's.
    set_call host_call = {e, 2, 75.0f, -1, 0};
    on_host(set_job, &host_call);
    world.wv2->clear_sent(view);
    EXPECT_EQ(world.wv2->deliver_string(view, L"g"), S_OK);
    std::vector<std::wstring> page = sent(view);
    ASSERT_EQ(page.size(), 6u);
    const float stored[6] = {30.0f, 0.0f, 75.0f, 0.0f, 0.0f, 1.0f};
    for (uint32_t i = 0; i < 6; ++i) {
        EXPECT_EQ(page[i], value_message(i, stored[i]));
        EXPECT_EQ(page[i].size(), 19u);
    }
    close_editor(e);
}

TEST_F(editor_fixture, malformed_edits_are_ignored)
{
    editor* e = open_editor(1);
    ASSERT_TRUE(e != NULL);
    int view = view_of(e);
    const wchar_t* malformed[] = {
        L"s 6 0",             // index beyond the count
        L"s x y",             // not numbers
        L"s 1",               // one number
        L"s",                 // tag alone
        L"s -1 0",            // a sign is no index
        L"s 100000000 0",     // more than 32 bits, not cut down to 0
        L"s 0 7fc00000",      // NaN is no plain value
        L"s 0 7f800000",      // nor is infinity
        L"x hello",           // unknown tag
        L"",                  // empty
    };
    for (const wchar_t* text : malformed)
        world.wv2->deliver_string(view, text);
    EXPECT_TRUE(edits().empty());
    world.wv2->clear_sent(view);
    world.wv2->deliver_string(view, L"g");
    std::vector<std::wstring> page = sent(view);
    ASSERT_EQ(page.size(), 6u);
    for (uint32_t i = 0; i < 6; ++i)
        EXPECT_EQ(page[i], value_message(i, 0.0f));
    close_editor(e);
}

TEST_F(editor_fixture, a_host_that_answers_an_edit_with_a_value_gets_it_to_the_page)
{
    const host_reaction reactions[] = {react_echo_value, react_echo_twice};
    for (host_reaction reaction : reactions) {
        editor* e = open_editor(1);
        ASSERT_TRUE(e != NULL);
        int view = view_of(e);
        world.reaction = reaction;
        world.reaction_calls = 0;
        EXPECT_EQ(world.wv2->deliver_string(view, page_edit('s', 2, 33.0f).c_str()), S_OK);
        EXPECT_EQ(world.reaction_calls, 1);
        std::vector<std::wstring> page = sent(view);
        ASSERT_EQ(page.size(), reaction == react_echo_twice ? 2u : 1u);
        EXPECT_EQ(page[0], value_message(2, 33.0f));
        if (reaction == react_echo_twice) {
            EXPECT_EQ(page[1], value_message(2, 34.0f));
        }
        // Nothing is left over: the next exchange works as usual.
        set_call host_call = {e, 3, 50.0f, -1, 0};
        on_host(set_job, &host_call);
        EXPECT_EQ(sent(view).back(), value_message(3, 50.0f));
        world.reaction = react_nothing;
        close_editor(e);
    }
}

TEST_F(editor_fixture, page_edits_while_the_host_pushes_values_never_deadlock)
{
    editor* e = open_editor(1);
    ASSERT_TRUE(e != NULL);
    int view = view_of(e);
    world.reaction = react_echo_value;  // every edit also answers inside its callback
    const int rounds = 300;
    for (int i = 0; i < rounds; ++i)
        ASSERT_TRUE(world.wv2->post_string(view, page_edit('s', (uint32_t)(i % 6), (float)i).c_str()));
    // Meanwhile the host pushes its own values; on_host ends the run if this hangs.
    set_call host_call = {e, 1, 0.0f, -1, rounds};
    on_host(set_job, &host_call);
    EXPECT_EQ(host_call.result, 0);
    // A last round trip behind the queued edits: page messages are handled
    // in order, so all of them have run once it returns.
    EXPECT_EQ(world.wv2->deliver_string(view, L"g"), S_OK);
    std::vector<edit_record> got = edits();
    ASSERT_EQ(got.size(), (size_t)rounds);
    for (int i = 0; i < rounds; ++i) {
        EXPECT_EQ(got[i].value, (float)i);
        EXPECT_TRUE(got[i].on_host_thread);
    }
    // Every edit's echo and every pushed value reached the page, then the replay.
    EXPECT_EQ(sent(view).size(), (size_t)(2 * rounds + 6));
    close_editor(e);
}

void resize_directly(void* context)
{
    editor* e = (editor*)context;
    SetWindowPos(e->view_window, NULL, 0, 0, 500, 250, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void resize_via_editor(void* context)
{
    editor_set_size((editor*)context, 600, 300);
}

bool wait_for_bounds(const wv2_double_view* v, int width, int height)
{
    for (int i = 0; i < 500; ++i) {
        if (v->bounds.right - v->bounds.left == width && v->bounds.bottom - v->bounds.top == height)
            return true;
        Sleep(10);
    }
    return false;
}

TEST_F(editor_fixture, the_view_can_be_resized_from_the_host_at_any_moment)
{
    editor* e = open_editor(1);
    ASSERT_TRUE(e != NULL);
    int view = view_of(e);
    const wv2_double_view* v = world.wv2->view(view);
    // Idle: the control follows the window.
    on_host(resize_via_editor, e);
    EXPECT_TRUE(wait_for_bounds(v, 600, 300));
    on_host(resize_directly, e);
    EXPECT_TRUE(wait_for_bounds(v, 500, 250));
    // From inside an edit callback, while the UI thread waits for the host.
    world.reaction = react_resize_via_editor;
    EXPECT_EQ(world.wv2->deliver_string(view, L"s 0 0"), S_OK);
    EXPECT_TRUE(wait_for_bounds(v, 700, 350));
    world.reaction = react_resize_directly;
    EXPECT_EQ(world.wv2->deliver_string(view, L"s 0 0"), S_OK);
    EXPECT_TRUE(wait_for_bounds(v, 640, 320));
    EXPECT_EQ(world.reaction_calls, 2);
    world.reaction = react_nothing;
    close_editor(e);
}

}  // namespace
