#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "module_folders.h"
#include "vst3_test_host.h"

namespace {

struct folders_case {
    const char* what;
    std::string path;
    std::string dir;
    std::string resources;
};

std::string long_folder(int levels)
{
    std::string s = "C:\\Users\\someone\\Music";
    for (int i = 0; i < levels; ++i)
        s += "\\a folder with a rather long name, level " + std::to_string(i);
    return s;
}

TEST(vst3_module_folders, derived_from_the_module_path)
{
    const std::string bundle = "C:\\Program Files\\Common Files\\VST3\\morvo-vellomarquin-overdrive.vst3\\Contents";
    const std::string deep = long_folder(8);
    ASSERT_GT(deep.size(), 300u);
    const folders_case cases[] = {
        {"plain", "D:\\A\\B\\C\\m.dll", "D:\\A\\B\\C", "D:\\A\\B\\Resources"},
        {"bundle", bundle + "\\x86_64-win\\morvo-vellomarquin-overdrive.vst3", bundle + "\\x86_64-win",
         bundle + "\\Resources"},
        {"long", deep + "\\Contents\\x86_64-win\\m.vst3", deep + "\\Contents\\x86_64-win",
         deep + "\\Contents\\Resources"},
        // A drive's root folder has no folder above: its own stands in.
        {"root", "C:\\m.dll", "C:", "C:\\Resources"},
    };
    for (const folders_case& c : cases) {
        std::vector<char> path(c.path.begin(), c.path.end());
        path.push_back('\0');
        char* dir = nullptr;
        char* resources = nullptr;
        ASSERT_EQ(module_folders_from_path(path.data(), &dir, &resources), 0) << c.what;
        EXPECT_EQ(std::string(dir), c.dir) << c.what;
        EXPECT_EQ(std::string(resources), c.resources) << c.what;
        free(dir);
        free(resources);
    }
    char no_folder[] = "m.dll";
    char* dir = nullptr;
    char* resources = nullptr;
    EXPECT_EQ(module_folders_from_path(no_folder, &dir, &resources), -1);
    EXPECT_EQ(dir, nullptr);
    EXPECT_EQ(resources, nullptr);
}

typedef void (*probe_state_fn)(int32_t*, const char**, const char**);
typedef BOOL(WINAPI* dll_main_fn)(HINSTANCE, DWORD, LPVOID);

std::wstring wide_of(const std::string& s)
{
    int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, nullptr, 0);
    std::wstring w((size_t)n, L'\0');
    MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, &w[0], n);
    w.resize((size_t)n - 1);
    return w;
}

std::string encoded(const std::wstring& w, UINT code_page)
{
    int n = WideCharToMultiByte(code_page, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string s((size_t)n, '\0');
    WideCharToMultiByte(code_page, 0, w.c_str(), -1, &s[0], n, nullptr, nullptr);
    s.resize((size_t)n - 1);
    return s;
}

// The probe module copied into a bundle-like layout below a folder of our
// own, loaded as a host loads a plug-in, and removed again.
struct placed_probe {
    std::vector<std::wstring> folders;  // in creation order
    std::wstring file;
    HMODULE library;
    probe_state_fn state;
    dll_main_fn entry;
};

bool place_probe(placed_probe& p, const std::wstring& base, const std::vector<std::wstring>& levels)
{
    p.library = nullptr;
    std::wstring folder = base;
    std::vector<std::wstring> chain = levels;
    for (const wchar_t* tail : {L"probe.vst3", L"Contents", L"x86_64-win"})
        chain.push_back(tail);
    for (const std::wstring& level : chain) {
        folder += L"\\" + level;
        if (!CreateDirectoryW((L"\\\\?\\" + folder).c_str(), nullptr))
            return false;
        p.folders.push_back(folder);
    }
    std::wstring contents = p.folders[p.folders.size() - 2];
    if (!CreateDirectoryW((L"\\\\?\\" + contents + L"\\Resources").c_str(), nullptr))
        return false;
    p.file = folder + L"\\vst3_entry_probe.dll";
    std::wstring source = wide_of(test_program_dir() + "vst3_entry_probe.dll");
    if (!CopyFileW(source.c_str(), (L"\\\\?\\" + p.file).c_str(), FALSE))
        return false;
    p.library = LoadLibraryW((L"\\\\?\\" + p.file).c_str());
    if (p.library == nullptr)
        return false;
    p.state = (probe_state_fn)(void*)GetProcAddress(p.library, "probe_module_state");
    p.entry = (dll_main_fn)(void*)GetProcAddress(p.library, "DllMain");
    return p.state != nullptr && p.entry != nullptr;
}

void remove_probe(placed_probe& p)
{
    if (p.library != nullptr)
        FreeLibrary(p.library);
    DeleteFileW((L"\\\\?\\" + p.file).c_str());
    if (p.folders.size() >= 2) {
        std::wstring contents = p.folders[p.folders.size() - 2];
        RemoveDirectoryW((L"\\\\?\\" + contents + L"\\Resources").c_str());
    }
    for (size_t i = p.folders.size(); i-- > 0;)
        RemoveDirectoryW((L"\\\\?\\" + p.folders[i]).c_str());
}

std::wstring test_base()
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring base(temp);
    if (!base.empty() && base.back() == L'\\')
        base.pop_back();
    return base + L"\\vmo-entry-" + std::to_wstring(GetCurrentProcessId());
}

// The folder of a file path, as the path's own text.
std::wstring folder_of(const std::wstring& path)
{
    return path.substr(0, path.find_last_of(L'\\'));
}

// The module's own name for its file, which may carry a \\?\ prefix.
std::wstring loaded_path(HMODULE library)
{
    std::vector<wchar_t> buffer(32768);
    DWORD n = GetModuleFileNameW(library, buffer.data(), (DWORD)buffer.size());
    return std::wstring(buffer.data(), n);
}

void expect_folders(placed_probe& p, const char* what)
{
    std::wstring module_path = loaded_path(p.library);
    std::wstring dir = folder_of(module_path);
    std::wstring resources = folder_of(dir) + L"\\Resources";
    int32_t count = -1;
    const char* got_dir = nullptr;
    const char* got_resources = nullptr;
    p.state(&count, &got_dir, &got_resources);
    EXPECT_EQ(count, 1) << what;
    ASSERT_NE(got_dir, nullptr) << what;
    ASSERT_NE(got_resources, nullptr) << what;
    EXPECT_EQ(std::string(got_dir), encoded(dir, CP_ACP)) << what;
    EXPECT_EQ(std::string(got_resources), encoded(resources, CP_UTF8)) << what;
}

TEST(vst3_module_entry, folders_for_a_path_longer_than_260_bytes)
{
    std::wstring base = test_base();
    ASSERT_TRUE(CreateDirectoryW(base.c_str(), nullptr));
    std::vector<std::wstring> levels;
    for (int i = 0; i < 6; ++i)
        levels.push_back(L"a folder with a rather long name, level " + std::to_wstring(i));
    placed_probe p;
    bool placed = place_probe(p, base, levels);
    if (placed) {
        EXPECT_GT(encoded(loaded_path(p.library), CP_ACP).size(), 300u);
        expect_folders(p, "long");
    }
    remove_probe(p);
    RemoveDirectoryW(base.c_str());
    ASSERT_TRUE(placed);
}

// The resources folder goes to the editor as UTF-8, the module folder stays
// in the ANSI code page for the ANSI library calls.
TEST(vst3_module_entry, a_folder_name_outside_ascii)
{
    std::wstring name = L"Caf\u00e9 pedals";
    BOOL lossy = FALSE;
    WideCharToMultiByte(CP_ACP, 0, name.c_str(), -1, nullptr, 0, nullptr, &lossy);
    if (lossy || GetACP() == CP_UTF8)
        GTEST_SKIP() << "the ANSI code page " << GetACP() << " tells nothing here";
    std::wstring base = test_base();
    ASSERT_TRUE(CreateDirectoryW(base.c_str(), nullptr));
    placed_probe p;
    bool placed = place_probe(p, base, {name});
    if (placed) {
        expect_folders(p, "non-ASCII");
        const char* dir = nullptr;
        const char* resources = nullptr;
        int32_t count = 0;
        p.state(&count, &dir, &resources);
        EXPECT_NE(std::string(resources).find("Caf\xC3\xA9 pedals"), std::string::npos);
    }
    remove_probe(p);
    RemoveDirectoryW(base.c_str());
    ASSERT_TRUE(placed);
}

// Attaches are counted; the folders are derived at the first and freed at
// the last detach.
TEST(vst3_module_entry, attach_counting)
{
    std::wstring base = test_base();
    ASSERT_TRUE(CreateDirectoryW(base.c_str(), nullptr));
    placed_probe p;
    bool placed = place_probe(p, base, {L"counting"});
    if (placed) {
        int32_t count = 0;
        const char* dir = nullptr;
        const char* resources = nullptr;
        p.state(&count, &dir, &resources);
        const char* first_dir = dir;
        std::string dir_text = dir;

        EXPECT_TRUE(p.entry(p.library, DLL_PROCESS_ATTACH, nullptr));
        p.state(&count, &dir, &resources);
        EXPECT_EQ(count, 2);
        EXPECT_EQ(dir, first_dir);
        for (DWORD reason : {(DWORD)DLL_THREAD_ATTACH, (DWORD)DLL_THREAD_DETACH})
            EXPECT_TRUE(p.entry(p.library, reason, nullptr));
        EXPECT_TRUE(p.entry(p.library, DLL_PROCESS_DETACH, nullptr));
        p.state(&count, &dir, &resources);
        EXPECT_EQ(count, 1);
        EXPECT_EQ(std::string(dir), dir_text);

        EXPECT_TRUE(p.entry(p.library, DLL_PROCESS_DETACH, nullptr));
        p.state(&count, &dir, &resources);
        EXPECT_EQ(count, 0);
        EXPECT_EQ(dir, nullptr);
        EXPECT_EQ(resources, nullptr);

        // Attached again, so that the loader's own detach at unloading matches.
        EXPECT_TRUE(p.entry(p.library, DLL_PROCESS_ATTACH, nullptr));
        expect_folders(p, "attached again");
    }
    remove_probe(p);
    RemoveDirectoryW(base.c_str());
    ASSERT_TRUE(placed);
}

TEST(vst3_module_file, version_resource_and_bundle_layout)
{
    std::string module = bundle_module_path();
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(module.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> data(size);
    ASSERT_TRUE(GetFileVersionInfoA(module.c_str(), 0, size, data.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(data.data(), "\\", (void**)&fixed, &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010001u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00030001u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010001u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00030001u);
    char* text = nullptr;
    ASSERT_TRUE(VerQueryValueA(data.data(), "\\StringFileInfo\\040904B0\\ProductVersion", (void**)&text, &length));
    EXPECT_STREQ(text, "1.1.3.1");

    // The module sits in Contents\x86_64-win with Resources beside that folder.
    std::string contents = module.substr(0, module.find_last_of('\\'));
    EXPECT_EQ(contents.substr(contents.find_last_of('\\')), "\\x86_64-win");
    contents = contents.substr(0, contents.find_last_of('\\'));
    EXPECT_EQ(contents.substr(contents.find_last_of('\\')), "\\Contents");
    DWORD attributes = GetFileAttributesA((contents + "\\Resources").c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace
