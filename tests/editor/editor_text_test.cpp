// Text messages between the page and the message handler.
#include "editor_fixture.h"

namespace {

struct send_call {
    editor* e;
    const char* text;
};

void send_job(void* context)
{
    send_call* call = (send_call*)context;
    editor_send_message(call->e, call->text);
}

TEST_F(editor_fixture, page_text_reaches_the_handler_and_its_answer_goes_out_at_once)
{
    editor* e = open_editor(1);
    ASSERT_TRUE(e != NULL);
    int view = view_of(e);
    world.reply = "kestaV1 ok";
    EXPECT_EQ(world.wv2->deliver_string(view, L"m kestaV1 init abc"), S_OK);
    // The answer was posted while the page message was handled.
    std::vector<std::wstring> page = sent(view);
    ASSERT_EQ(page.size(), 1u);
    EXPECT_EQ(page[0], L"m kestaV1 ok");
    world.reply = NULL;
    EXPECT_EQ(world.wv2->deliver_string(view, L"m"), S_OK);
    std::vector<std::string> got = messages();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0], "kestaV1 init abc");
    EXPECT_EQ(got[1], "");
    close_editor(e);
}

TEST_F(editor_fixture, text_from_the_host_is_sent_when_it_is_utf8)
{
    editor* e = open_editor(1);
    ASSERT_TRUE(e != NULL);
    int view = view_of(e);
    send_call accented = {e, "\xC3\xA9"};
    on_host(send_job, &accented);
    send_call invalid = {e, "bad \xC3\x28 text"};
    on_host(send_job, &invalid);
    std::vector<std::wstring> page = sent(view);
    ASSERT_EQ(page.size(), 1u);
    EXPECT_EQ(page[0], L"m \u00e9");
    close_editor(e);
}

TEST_F(editor_fixture, page_messages_either_side_of_the_buffer_arrive_unchanged)
{
    editor* e = open_editor(1);
    ASSERT_TRUE(e != NULL);
    int view = view_of(e);
    // 1023 and 1024 UTF-8 bytes, a two-byte character in each.
    for (size_t bytes : {(size_t)1023, (size_t)1024}) {
        std::string text = "m \xC3\xA9";
        while (text.size() < bytes)
            text.push_back((char)('a' + text.size() % 26));
        ASSERT_EQ(text.size(), bytes);
        EXPECT_EQ(world.wv2->deliver_string(view, wide_of(text).c_str()), S_OK);
        ASSERT_FALSE(messages().empty());
        EXPECT_EQ(messages().back(), text.substr(2));
    }
    EXPECT_EQ(messages().size(), 2u);
    close_editor(e);
}

TEST_F(editor_fixture, page_messages_that_are_not_text_are_dropped)
{
    editor* e = open_editor(1);
    ASSERT_TRUE(e != NULL);
    int view = view_of(e);
    EXPECT_TRUE(FAILED(world.wv2->deliver_json(view, L"{\"m\":\"x\"}")));
    const wchar_t lone_surrogate[] = {L'm', L' ', 0xD800, L'x', 0};
    EXPECT_TRUE(FAILED(world.wv2->deliver_string(view, lone_surrogate)));
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(world.wv2->deliver_string(view, L"m still listening"), S_OK);
    EXPECT_EQ(messages().size(), 1u);
    close_editor(e);
}

}  // namespace
