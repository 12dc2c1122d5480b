#include <gtest/gtest.h>

#include "news_sandbox.h"

namespace {

// A file below the news folder and its bytes on disk, or is_folder.
struct stored_file {
    const char* path;
    const char* bytes;
};

struct request_case {
    const char* what;
    std::vector<stored_file> before;
    std::vector<const char*> requests;
    std::vector<const char*> replies;
    std::vector<stored_file> after;  // everything below the news folder
};

const request_case request_cases[] = {
    {"init with no files answers only initDone",
     {}, {"kestaV1 init x"}, {"kestaV1 initDone "}, {}},
    {"init with all three files answers in order, line feeds read back",
     {{"kesta-system", "s1"}, {"kesta-news", "n1\r\nn2"}, {"x/latest", "l1"}},
     {"kestaV1 init x"},
     {"kestaV1 initSid s1", "kestaV1 initNews n1\nn2", "kestaV1 initLatest l1", "kestaV1 initDone "},
     {{"kesta-system", "s1"}, {"kesta-news", "n1\r\nn2"}, {"x", is_folder}, {"x/latest", "l1"}}},
    {"init answers for empty files, unlike missing ones",
     {{"kesta-system", ""}, {"kesta-news", ""}, {"x/latest", ""}},
     {"kestaV1 init x"},
     {"kestaV1 initSid ", "kestaV1 initNews ", "kestaV1 initLatest ", "kestaV1 initDone "},
     {{"kesta-system", ""}, {"kesta-news", ""}, {"x", is_folder}, {"x/latest", ""}}},
    {"init reads the latest of its own name only",
     {{"y/latest", "other"}}, {"kestaV1 init x"}, {"kestaV1 initDone "},
     {{"y", is_folder}, {"y/latest", "other"}}},
    {"init whose sid cannot be read answers nothing at all",
     {{"kesta-system", is_folder}, {"kesta-news", "n"}}, {"kestaV1 init x"}, {},
     {{"kesta-system", is_folder}, {"kesta-news", "n"}}},
    {"init whose latest cannot be read answers nothing at all",
     {{"kesta-system", "s"}, {"x/latest", is_folder}}, {"kestaV1 init x"}, {},
     {{"kesta-system", "s"}, {"x", is_folder}, {"x/latest", is_folder}}},
    {"getNews without a news file answers the bare prefix",
     {}, {"kestaV1 getNews "}, {"kestaV1 getNews "}, {}},
    {"getNews answers the news text and ignores the rest",
     {{"kesta-news", "a\r\nb"}}, {"kestaV1 getNews anything"}, {"kestaV1 getNews a\nb"},
     {{"kesta-news", "a\r\nb"}}},
    {"getNews whose news cannot be read answers nothing",
     {{"kesta-news", is_folder}}, {"kestaV1 getNews "}, {}, {{"kesta-news", is_folder}}},
    {"newSid creates the news folder and the file, without a reply",
     {}, {"kestaV1 newSid abc"}, {}, {{"kesta-system", "abc"}}},
    {"newSid leaves nothing of a longer sid",
     {{"kesta-system", "0123456789"}}, {"kestaV1 newSid ab"}, {}, {{"kesta-system", "ab"}}},
    {"syncNews expecting nothing writes, then conflicts with what it wrote",
     {}, {"kestaV1 syncNews - first", "kestaV1 syncNews - second"},
     {"kestaV1 syncNewsConflict first"}, {{"kesta-news", "first"}}},
    {"syncNews expecting nothing writes over an empty file",
     {{"kesta-news", ""}}, {"kestaV1 syncNews - x"}, {}, {{"kesta-news", "x"}}},
    {"syncNews with the stored tag replaces a longer text, line feeds stored as CR LF",
     {{"kesta-news", "0000000a the old and longer text"}},
     {"kestaV1 syncNews 0000000a 0000000b new\nline"}, {}, {{"kesta-news", "0000000b new\r\nline"}}},
    {"syncNews with another tag conflicts, carrying the stored text",
     {{"kesta-news", "0000000b x\r\ny"}}, {"kestaV1 syncNews 0000000a 0000000c new"},
     {"kestaV1 syncNewsConflict 0000000b x\ny"}, {{"kesta-news", "0000000b x\r\ny"}}},
    {"syncNews on a text shorter than a tag conflicts",
     {{"kesta-news", "0000"}}, {"kestaV1 syncNews 0000000a 0000000c new"},
     {"kestaV1 syncNewsConflict 0000"}, {{"kesta-news", "0000"}}},
    {"syncNews with a tag writes a missing file",
     {}, {"kestaV1 syncNews 0000000a 0000000c new"}, {}, {{"kesta-news", "0000000c new"}}},
    {"syncNews with a tag writes an empty file",
     {{"kesta-news", ""}}, {"kestaV1 syncNews 0000000a 0000000c new"}, {}, {{"kesta-news", "0000000c new"}}},
    {"syncNewsForce is never taken for syncNews: replaced without check or reply",
     {{"kesta-news", "0000000a a much longer old text"}}, {"kestaV1 syncNewsForce 0000000a new"}, {},
     {{"kesta-news", "0000000a new"}}},
    {"syncLatest creates the name's folder; init then reads it",
     {}, {"kestaV1 syncLatest x - hello there", "kestaV1 init x"},
     {"kestaV1 initLatest hello there", "kestaV1 initDone "},
     {{"x", is_folder}, {"x/latest", "hello there"}}},
    {"syncLatest with the stored tag writes",
     {{"x/latest", "0000000a old"}}, {"kestaV1 syncLatest x 0000000a 0000000c new"}, {},
     {{"x", is_folder}, {"x/latest", "0000000c new"}}},
    {"syncLatest with another tag conflicts, carrying the stored text",
     {{"x/latest", "0000000b old"}}, {"kestaV1 syncLatest x 0000000a 0000000c new"},
     {"kestaV1 syncLatestConflict 0000000b old"}, {{"x", is_folder}, {"x/latest", "0000000b old"}}},
    {"syncLatestForce creates the folder and replaces a longer text, splitting at the first space",
     {{"y/latest", "a long old latest"}}, {"kestaV1 syncLatestForce x a b", "kestaV1 syncLatestForce y short"}, {},
     {{"x", is_folder}, {"x/latest", "a b"}, {"y", is_folder}, {"y/latest", "short"}}},
    {"texts that are no request are ignored",
     {{"kesta-news", "n"}},
     {"kestaV1 init", "kestaV1 getNews", "kestaV1 unknown x", "kestav1 init x", " kestaV1 init x", "hello", "",
      "kestaV1 ", "kestaV1 syncNewsForc x"},
     {}, {{"kesta-news", "n"}}},
    {"payloads too short for their form write nothing, not even a folder",
     {}, {"kestaV1 syncNews ", "kestaV1 syncNews -", "kestaV1 syncNews 0000000a", "kestaV1 syncLatest x -",
          "kestaV1 syncLatest x 0000000a"},
     {}, {}},
    {"payloads too short for their form are no conflict either",
     {{"kesta-news", "0000000a old"}, {"x/latest", "0000000a old"}},
     {"kestaV1 syncNews -", "kestaV1 syncNews 0000000a", "kestaV1 syncLatest x 0000000"},
     {}, {{"kesta-news", "0000000a old"}, {"x", is_folder}, {"x/latest", "0000000a old"}}},
    {"syncLatest and syncLatestForce without a space after the name do nothing",
     {}, {"kestaV1 syncLatest x", "kestaV1 syncLatestForce x"}, {}, {}},
};

TEST(news_messages, requests_answer_and_leave_the_files_as_expected)
{
    for (const request_case& c : request_cases) {
        news_sandbox box = sandbox_create();
        for (const stored_file& f : c.before)
            put_file(box.base / f.path, f.bytes);

        std::vector<std::string> replies;
        for (const char* request : c.requests)
            for (const std::string& reply : handle_request(request))
                replies.push_back(reply);

        EXPECT_EQ(replies, std::vector<std::string>(c.replies.begin(), c.replies.end())) << c.what;
        std::map<std::string, std::string> expected;
        for (const stored_file& f : c.after)
            expected[f.path] = f.bytes;
        EXPECT_EQ(tree_listing(box.base), expected) << c.what;
        sandbox_remove(box);
    }
}

// Without a place for the files, init must not pretend that none exist.
TEST(news_messages, without_appdata_init_answers_nothing_and_nothing_is_written)
{
    news_sandbox box = sandbox_create();
    for (const wchar_t* appdata : {L"", (const wchar_t*)NULL}) {
        SetEnvironmentVariableW(L"APPDATA", appdata);
        EXPECT_TRUE(handle_request("kestaV1 init x").empty());
        EXPECT_TRUE(handle_request("kestaV1 getNews ").empty());
        handle_request("kestaV1 newSid abc");
        handle_request("kestaV1 syncNews - abc");
        EXPECT_FALSE(fs::exists("\\Morvo.PHONICS"));
        EXPECT_FALSE(fs::exists("Morvo.PHONICS"));
    }
    EXPECT_TRUE(tree_listing(box.root) == (std::map<std::string, std::string>{
        {"outer", is_folder}, {"outer/inner", is_folder}, {"outer/inner/appdata", is_folder}}));
    sandbox_remove(box);
}

}  // namespace
