// Opening and closing the editor as both formats do, and every way opening
// can fail.
#include <string.h>

#include "editor_fixture.h"
#include "process_counts.h"

namespace {

std::wstring hex_name(wchar_t prefix, const void* address)
{
    wchar_t text[24];
    swprintf(text, 24, L"%lc%llX", prefix, (unsigned long long)(uintptr_t)address);
    return text;
}

bool folder_exists(const wchar_t* path)
{
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool class_registered(const std::wstring& name)
{
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    return GetClassInfoExW(GetModuleHandleW(NULL), name.c_str(), &wc) != 0;
}

TEST_F(editor_fixture, child_editor_opens_inside_the_host_window_and_closes)
{
    editor* e = open_editor(1);
    ASSERT_TRUE(e != NULL);
    int view = view_of(e);
    ASSERT_GE(view, 0);
    const wv2_double_view* v = world.wv2->view(view);
    // Hidden and without parent until the control was ready; then parented and shown.
    EXPECT_FALSE(v->parent_visible_at_creation);
    EXPECT_EQ(GetAncestor(e->view_window, GA_PARENT), world.host.window);
    EXPECT_TRUE(IsWindowVisible(e->view_window));
    EXPECT_EQ(v->visible, 1);
    EXPECT_EQ(v->bounds.right - v->bounds.left, 800);
    EXPECT_EQ(v->bounds.bottom - v->bounds.top, 400);
    EXPECT_EQ(v->handlers_registered, 3);
    close_editor(e);
    EXPECT_EQ(v->closed, 1);
    EXPECT_EQ(v->handlers_registered, 0);
    EXPECT_EQ(world.wv2->live_objects(), 0);
    EXPECT_EQ(world.wv2->client_references(), 0);
}

TEST_F(editor_fixture, editor_without_parent_is_a_visible_800_by_400_window_at_once)
{
    editor* e = open_editor(0);
    ASSERT_TRUE(e != NULL);
    const wv2_double_view* v = world.wv2->view(view_of(e));
    // Already when the control was being made, before the page was ready.
    EXPECT_TRUE(v->parent_visible_at_creation);
    EXPECT_EQ(v->parent_rect_at_creation.right - v->parent_rect_at_creation.left, 800);
    EXPECT_EQ(v->parent_rect_at_creation.bottom - v->parent_rect_at_creation.top, 400);
    EXPECT_EQ(GetAncestor(e->view_window, GA_PARENT), GetDesktopWindow());
    EXPECT_TRUE(IsWindowVisible(e->view_window));
    close_editor(e);
    EXPECT_EQ(world.wv2->live_objects(), 0);
}

TEST_F(editor_fixture, the_control_is_set_up_as_a_plug_in_page)
{
    editor* e = open_editor(1);
    ASSERT_TRUE(e != NULL);
    const wv2_double_view* v = world.wv2->view(view_of(e));
    EXPECT_STREQ(v->browser_arguments, L"--allow-file-access-from-files");
    EXPECT_STREQ(v->target_version, L"131.0.2903.40");
    EXPECT_FALSE(v->language_set);
    EXPECT_FALSE(v->single_sign_on);
    const wv2_double_settings& s = v->settings;
    EXPECT_EQ(s.script_enabled, 1);
    EXPECT_EQ(s.host_objects, 1);
    const int off[] = {s.context_menus, s.dev_tools, s.status_bar, s.zoom_control, s.default_script_dialogs,
                       s.accelerator_keys, s.password_autosave, s.general_autofill, s.pinch_zoom,
                       s.swipe_navigation, s.external_drop};
    for (int value : off)
        EXPECT_EQ(value, 0);
    // The page is the plain file path, with the folder decoded as UTF-8.
    EXPECT_EQ(std::wstring(v->navigated), world.folder + L"\\index.html");
    EXPECT_EQ(v->navigate_count, 1);
    // The user-data folder is named after a placeholder in the temporary folder.
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    EXPECT_EQ(wcsncmp(v->user_data_folder, temp, wcslen(temp)), 0);
    EXPECT_EQ(wcsncmp(v->user_data_folder + wcslen(temp), L"vin", 3), 0);
    close_editor(e);
}

TEST_F(editor_fixture, a_runtime_without_the_newer_interfaces_or_with_failing_optional_settings_still_works)
{
    world.wv2->offer_newer_interfaces(0);
    editor* e = open_editor(1);
    ASSERT_TRUE(e != NULL);
    EXPECT_EQ(world.wv2->view(view_of(e))->settings.pinch_zoom, -1);
    close_editor(e);

    world.wv2->offer_newer_interfaces(1);
    world.wv2->fail_at(wv2_fail_optional_settings);
    e = open_editor(1);
    ASSERT_TRUE(e != NULL);
    close_editor(e);
    EXPECT_EQ(world.wv2->live_objects(), 0);
}

TEST_F(editor_fixture, two_editors_at_once_have_classes_of_their_own)
{
    editor* first = open_editor(1);
    editor* second = open_editor(1);
    ASSERT_TRUE(first != NULL);
    ASSERT_TRUE(second != NULL);
    wchar_t name[64];
    GetClassNameW(first->view_window, name, 64);
    EXPECT_EQ(std::wstring(name), hex_name(L'c', first));
    GetClassNameW(second->view_window, name, 64);
    EXPECT_EQ(std::wstring(name), hex_name(L'c', second));
    GetClassNameW(first->relay_window, name, 64);
    EXPECT_EQ(std::wstring(name), hex_name(L'd', first));
    EXPECT_NE(view_of(first), view_of(second));
    EXPECT_TRUE(class_registered(hex_name(L'd', second)));

    close_editor(first);
    EXPECT_FALSE(class_registered(hex_name(L'c', first)));
    EXPECT_FALSE(class_registered(hex_name(L'd', first)));
    EXPECT_TRUE(class_registered(hex_name(L'c', second)));
    close_editor(second);
    EXPECT_FALSE(class_registered(hex_name(L'c', second)));
    EXPECT_EQ(world.wv2->live_objects(), 0);
}

struct failure_case {
    const char* what;
    int failure;  // armed in the double, or wv2_fail_nothing for the cases below
    int setup;
};

enum { setup_double_fails, setup_no_loader, setup_no_entry_point, setup_bad_resources, setup_no_temp_folder };

TEST_F(editor_fixture, every_failed_start_returns_null_and_leaves_nothing_behind)
{
    const failure_case cases[] = {
        {"no loader in the folder", wv2_fail_nothing, setup_no_loader},
        {"a loader without the entry point", wv2_fail_nothing, setup_no_entry_point},
        {"a resources folder that is not UTF-8", wv2_fail_nothing, setup_bad_resources},
        {"no usable temporary folder", wv2_fail_nothing, setup_no_temp_folder},
        {"environment call", wv2_fail_create_environment, setup_double_fails},
        {"environment completion", wv2_fail_environment_completed, setup_double_fails},
        {"controller call", wv2_fail_create_controller, setup_double_fails},
        {"controller completion", wv2_fail_controller_completed, setup_double_fails},
        {"core view", wv2_fail_get_webview, setup_double_fails},
        {"settings", wv2_fail_get_settings, setup_double_fails},
        {"script not exactly enabled", wv2_fail_script_enabled, setup_double_fails},
        {"host objects", wv2_fail_host_objects, setup_double_fails},
        {"bounds", wv2_fail_bounds, setup_double_fails},
        {"web message handler", wv2_fail_add_web_message, setup_double_fails},
        {"navigation handler", wv2_fail_add_navigation, setup_double_fails},
        {"new window handler", wv2_fail_add_new_window, setup_double_fails},
        {"navigation", wv2_fail_navigate, setup_double_fails},
        {"showing the control", wv2_fail_show, setup_double_fails},
    };
    // A folder with a DLL named like the loader that lacks its export.
    std::wstring no_entry = world.folder + L"\\no-entry";
    CreateDirectoryW(no_entry.c_str(), NULL);
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    ASSERT_TRUE(CopyFileW((std::wstring(system) + L"\\version.dll").c_str(),
                          (no_entry + L"\\WebView2Loader.dll").c_str(), FALSE));

    const std::string binary_dir = world.binary_dir;
    const std::string resources_dir = world.resources_dir;
    for (const failure_case& c : cases) {
        SCOPED_TRACE(c.what);
        world.binary_dir = binary_dir;
        world.resources_dir = resources_dir;
        wchar_t saved_tmp[MAX_PATH] = L"", saved_temp[MAX_PATH] = L"";
        int views_before = world.wv2->view_count();
        if (c.setup == setup_no_loader)
            world.binary_dir = binary_dir + "\\missing";
        if (c.setup == setup_no_entry_point)
            world.binary_dir = binary_dir + "\\no-entry";
        if (c.setup == setup_bad_resources)
            world.resources_dir = resources_dir + "\\\xC3\x28";
        if (c.setup == setup_no_temp_folder) {
            GetEnvironmentVariableW(L"TMP", saved_tmp, MAX_PATH);
            GetEnvironmentVariableW(L"TEMP", saved_temp, MAX_PATH);
            SetEnvironmentVariableW(L"TMP", L"C:\\no\\such\\folder");
            SetEnvironmentVariableW(L"TEMP", L"C:\\no\\such\\folder");
        }
        world.wv2->fail_at(c.failure);
        process_counts before = process_counts_now();

        EXPECT_TRUE(open_editor(1) == NULL);

        if (c.setup == setup_no_temp_folder) {
            SetEnvironmentVariableW(L"TMP", saved_tmp);
            SetEnvironmentVariableW(L"TEMP", saved_temp);
        }
        process_counts after = process_counts_now();
        EXPECT_EQ(after.windows, before.windows);
        EXPECT_EQ(after.threads, before.threads);
        EXPECT_EQ(after.placeholders, before.placeholders);
        EXPECT_EQ(after.handles, before.handles);
        HWND child = FindWindowExW(world.host.window, NULL, NULL, NULL);
        EXPECT_TRUE(child == NULL);
        if (c.setup == setup_double_fails) {
            ASSERT_EQ(world.wv2->view_count(), views_before + 1);
            const wv2_double_view* v = world.wv2->view(views_before);
            // The view window's class and the relay class made with it are gone.
            std::wstring view_class = v->caller_window_class;
            ASSERT_EQ(view_class[0], L'c');
            EXPECT_FALSE(class_registered(view_class));
            EXPECT_FALSE(class_registered(L"d" + view_class.substr(1)));
            if (v->user_data_folder[0]) {
                EXPECT_FALSE(folder_exists(v->user_data_folder));
            }
        } else {
            EXPECT_EQ(world.wv2->view_count(), views_before);
        }
        EXPECT_EQ(world.wv2->live_objects(), 0);
        EXPECT_EQ(world.wv2->client_references(), 0);
    }
    world.wv2->fail_at(wv2_fail_nothing);
    world.binary_dir = binary_dir;
    world.resources_dir = resources_dir;
    editor* e = open_editor(1);
    EXPECT_TRUE(e != NULL);
    if (e)
        close_editor(e);
}

void destroy_host_window(void* context)
{
    DestroyWindow((HWND)context);
}

TEST_F(editor_fixture, closing_after_the_host_destroyed_its_window_frees_everything)
{
    editor* e = open_editor(1);
    ASSERT_TRUE(e != NULL);
    std::wstring folder = world.wv2->view(view_of(e))->user_data_folder;
    process_counts before_close = process_counts_now();
    on_host(destroy_host_window, world.host.window);
    // The view belongs to the editor's thread, which may destroy it a moment later.
    for (int i = 0; i < 500 && IsWindow(e->view_window); ++i)
        Sleep(10);
    EXPECT_FALSE(IsWindow(e->view_window));
    close_editor(e);
    EXPECT_FALSE(folder_exists(folder.c_str()));
    EXPECT_EQ(world.wv2->live_objects(), 0);
    EXPECT_LT(process_counts_now().threads, before_close.threads);
}

TEST_F(editor_fixture, closing_after_the_user_closed_the_top_level_window_frees_everything)
{
    editor* e = open_editor(0);
    ASSERT_TRUE(e != NULL);
    std::wstring folder = world.wv2->view(view_of(e))->user_data_folder;
    HWND view = e->view_window;
    SendMessageW(view, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(view));
    close_editor(e);
    EXPECT_FALSE(folder_exists(folder.c_str()));
    EXPECT_EQ(world.wv2->live_objects(), 0);
    EXPECT_EQ(world.wv2->client_references(), 0);
}

}  // namespace
