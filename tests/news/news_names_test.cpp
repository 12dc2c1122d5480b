#include <gtest/gtest.h>

#include <string.h>

#include "news_sandbox.h"

namespace {

const std::string longest_name(64, 'n');

const char* const refused_names[] = {
    "", ".", "..", "..\\x", "a\\..\\..\\x", "../x", "a/b", "C:x", "x:stream", "\\\\server\\share",
    "a.", "a..", "a ",
    "CON", "con", "nul.txt", "NUL .txt", "AUX", "PRN.x.y", "COM1", "lpt9.log", "CONIN$", "conout$.a",
    "COM\xc2\xb9",
    "tab\there", "line\nfeed", "a\x7f", "a\xc2\x85", "a*b", "a?b", "a<b", "a>b", "a|b", "a\"b",
    "\xff", "a\xc0\xaf", "a\xe0\x80\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80", "a\xe2\x82",
};

// Runs the three requests that take a name (syncLatest and syncLatestForce
// only for names that a space does not cut short).
std::vector<std::string> requests_with_name(const std::string& name)
{
    std::vector<std::string> replies = handle_request("kestaV1 init " + name);
    if (name.find(' ') == std::string::npos) {
        for (const std::string& reply : handle_request("kestaV1 syncLatest " + name + " - planted"))
            replies.push_back(reply);
        handle_request("kestaV1 syncLatestForce " + name + " forced");
    }
    return replies;
}

TEST(news_names, refused_names_touch_no_file_or_folder)
{
    std::vector<std::string> names(std::begin(refused_names), std::end(refused_names));
    names.push_back(longest_name + "n");
    for (const std::string& name : names) {
        news_sandbox box = sandbox_create();
        // Texts where a climbing name would find a "latest": none may reach the page.
        put_file(box.appdata / "latest", "secret");
        put_file(box.appdata / "x" / "latest", "secret");
        put_file(box.root / "outer" / "x" / "latest", "secret");
        put_file(box.base / "kesta-news", "news");
        std::map<std::string, std::string> before = tree_listing(box.root);

        EXPECT_TRUE(requests_with_name(name).empty()) << "name \"" << name << "\"";
        EXPECT_EQ(tree_listing(box.root), before) << "name \"" << name << "\"";
        sandbox_remove(box);
    }
}

TEST(news_names, plain_names_hold_their_latest)
{
    std::string many_accents;
    for (int i = 0; i < 64; ++i)
        many_accents += "\xc3\xa9";  // 64 characters in 128 bytes
    const std::string names[] = {
        "vellomarquin-overdrive", "x", ".x", "a..b", "CONSOLE", "COM10", "nul-x", "LPT", "\xc3\xa9",
        "\xf0\x9f\x8e\xb8", longest_name, many_accents,
    };
    for (const std::string& name : names) {
        news_sandbox box = sandbox_create();
        handle_request("kestaV1 syncLatestForce " + name + " forced");
        EXPECT_EQ(file_bytes(box.base / fs::u8path(name) / "latest"), "forced") << "name \"" << name << "\"";
        EXPECT_EQ(handle_request("kestaV1 init " + name),
                  (std::vector<std::string>{"kestaV1 initLatest forced", "kestaV1 initDone "}))
            << "name \"" << name << "\"";
        sandbox_remove(box);
    }
}

// init takes the name to the end of the message, spaces included.
TEST(news_names, init_takes_a_name_with_inner_spaces)
{
    news_sandbox box = sandbox_create();
    put_file(box.base / "my product" / "latest", "l");
    EXPECT_EQ(handle_request("kestaV1 init my product"),
              (std::vector<std::string>{"kestaV1 initLatest l", "kestaV1 initDone "}));
    sandbox_remove(box);
}

}  // namespace
