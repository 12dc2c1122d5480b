#include <gtest/gtest.h>

#include <stdlib.h>

#include "news_path.h"
#include "news_sandbox.h"

namespace {

std::wstring built_path(bool directory_only, std::vector<const char*> components)
{
    wchar_t* path = news_build_path(directory_only, components.data(), (int)components.size());
    std::wstring result = path ? path : L"<none>";
    free(path);
    return result;
}

TEST(news_path, paths_lie_below_the_vendor_folder_of_appdata)
{
    SetEnvironmentVariableW(L"APPDATA", L"C:\\data");
    EXPECT_EQ(built_path(false, {}), L"C:\\data\\Morvo.PHONICS");
    EXPECT_EQ(built_path(false, {"x", "latest"}), L"C:\\data\\Morvo.PHONICS\\x\\latest");
    EXPECT_EQ(built_path(true, {"x", "latest"}), L"C:\\data\\Morvo.PHONICS\\x");
    EXPECT_EQ(built_path(false, {"\xc3\xa9\xf0\x9f\x8e\xb8"}), L"C:\\data\\Morvo.PHONICS\\\u00e9\U0001F3B8");
    EXPECT_EQ(built_path(false, {"x", ""}), L"<none>");
    SetEnvironmentVariableW(L"APPDATA", L"");
    EXPECT_EQ(built_path(false, {"x"}), L"<none>");
    SetEnvironmentVariableW(L"APPDATA", NULL);
    EXPECT_EQ(built_path(false, {"x"}), L"<none>");
}

struct root_case {
    const wchar_t* path;
    const wchar_t* root;
};

TEST(news_path, roots_are_drives_prefixes_and_shares)
{
    const root_case cases[] = {
        {L"C:\\Users\\u\\AppData", L"C:"},
        {L"C:relative", L"C:"},
        {L"\\\\?\\C:\\Users", L"\\\\?\\C:"},
        {L"\\\\.\\C:\\Users", L"\\\\.\\C:"},
        {L"\\\\?\\UNC\\server\\share\\Users", L"\\\\?\\UNC\\server\\share"},
        {L"\\\\?\\unc\\server\\share\\Users", L"\\\\?\\"},  // "UNC" only in capitals
        {L"\\\\?\\Volume{0}\\Users", L"\\\\?\\"},
        {L"\\\\server\\share\\Users", L"\\\\server\\share"},
        {L"\\\\server\\share", L"\\\\server\\share"},
        {L"\\\\server", L"\\\\server"},
        {L"\\Users", L""},
        {L"Users", L""},
    };
    for (const root_case& c : cases) {
        std::wstring path = c.path;
        EXPECT_EQ(path.substr(0, news_path_root_length(c.path)), c.root);
    }
}

// The same folder reached through differently written APPDATA values.
TEST(news_path, folders_are_made_below_the_root_only)
{
    const char* const components[] = {"x", "y", "file"};
    news_sandbox box = sandbox_create();
    std::wstring plain = box.appdata.wstring();
    std::wstring slashed = box.appdata.generic_wstring() + L"/";
    const std::wstring appdata_values[] = {plain, L"\\\\?\\" + plain, slashed};
    for (const std::wstring& appdata : appdata_values) {
        fs::remove_all(box.base);
        SetEnvironmentVariableW(L"APPDATA", appdata.c_str());
        EXPECT_EQ(news_make_dirs(true, components, 3), 0);
        EXPECT_TRUE(fs::is_directory(box.base / "x" / "y"));
        EXPECT_FALSE(fs::exists(box.base / "x" / "y" / "file"));
        EXPECT_EQ(news_make_dirs(false, components, 3), 0);
        EXPECT_TRUE(fs::is_directory(box.base / "x" / "y" / "file"));
    }
    sandbox_remove(box);
}

// Wine reaches "\\server\share" through a folder of its prefix, which the
// test makes; Windows itself would need a real share.
TEST(news_path, folders_are_made_below_a_share_only)
{
    const char* wine_prefix = getenv("WINEPREFIX");
    if (!wine_prefix)
        GTEST_SKIP() << "needs Wine's mapping of shares to folders";
    std::string server = "vmo-news-" + std::to_string(GetCurrentProcessId());
    fs::path server_folder = fs::path("Z:" + std::string(wine_prefix)) / "dosdevices" / "unc" / server;
    fs::path share_folder = server_folder / "share";
    fs::create_directories(share_folder);
    std::wstring share = L"\\\\" + fs::path(server).wstring() + L"\\share";
    const char* const components[] = {"x", "latest"};
    for (const std::wstring& appdata : {share + L"\\appdata", L"\\\\?\\UNC" + share.substr(1) + L"\\appdata"}) {
        fs::remove_all(share_folder / "appdata");
        SetEnvironmentVariableW(L"APPDATA", appdata.c_str());
        EXPECT_EQ(news_make_dirs(true, components, 2), 0);
        EXPECT_EQ(tree_listing(server_folder), (std::map<std::string, std::string>{
            {"share", is_folder}, {"share/appdata", is_folder}, {"share/appdata/Morvo.PHONICS", is_folder},
            {"share/appdata/Morvo.PHONICS/x", is_folder}}));
    }
    fs::remove_all(server_folder);
}

TEST(news_path, a_file_in_the_way_of_a_folder_fails)
{
    const char* const components[] = {"x", "latest"};
    news_sandbox box = sandbox_create();
    put_file(box.base / "x", "a file");
    EXPECT_EQ(news_make_dirs(true, components, 2), -1);
    EXPECT_EQ(news_make_dirs(false, components, 1), -1);
    SetEnvironmentVariableW(L"APPDATA", NULL);
    EXPECT_EQ(news_make_dirs(false, components, 1), -1);
    sandbox_remove(box);
}

}  // namespace
