// Closing leaves nothing behind: no folder, no placeholder, no reference,
// and no handle, window or thread, however often the editor is opened.
#include <stdio.h>

#include "editor_fixture.h"
#include "process_counts.h"

namespace {

bool exists(const wchar_t* path)
{
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

TEST_F(editor_fixture, closing_removes_the_user_data_folder_and_closes_the_control)
{
    process_counts before = process_counts_now();
    editor* e = open_editor(1);
    ASSERT_TRUE(e != NULL);
    const wv2_double_view* v = world.wv2->view(view_of(e));
    std::wstring folder = v->user_data_folder;
    // The runtime filled the folder; the placeholder lived only while opening.
    EXPECT_TRUE(exists((folder + L"\\EBWebView\\Local State").c_str()));
    EXPECT_FALSE(exists((folder + L".tmp").c_str()));
    EXPECT_EQ(process_counts_now().placeholders, before.placeholders);
    close_editor(e);
    EXPECT_FALSE(exists(folder.c_str()));
    EXPECT_EQ(v->closed, 1);
    EXPECT_EQ(world.wv2->live_objects(), 0);
    EXPECT_EQ(world.wv2->client_references(), 0);
}

TEST_F(editor_fixture, two_hundred_openings_leave_the_process_as_it_was)
{
    // One opening first, so that what the system keeps once for good (the
    // COM and shell libraries, the cursor) is already there.
    editor* e = open_editor(1);
    ASSERT_TRUE(e != NULL);
    close_editor(e);
    process_counts before = process_counts_now();
    for (int round = 0; round < 200; ++round) {
        // Child mode: Wine without a window manager takes seconds to unmap a
        // top-level window, and the top-level case is covered elsewhere.
        e = open_editor(1);
        ASSERT_TRUE(e != NULL) << round;
        int view = view_of(e);
        world.wv2->deliver_string(view, L"s 1 42000000");
        world.wv2->deliver_string(view, L"m ping");
        close_editor(e);
    }
    process_counts after = process_counts_now();
    EXPECT_EQ(after.handles, before.handles);
    EXPECT_EQ(after.windows, before.windows);
    EXPECT_EQ(after.threads, before.threads);
    EXPECT_EQ(after.placeholders, before.placeholders);
    if (gui_counts_reported()) {
        EXPECT_EQ(after.user_objects, before.user_objects);
        EXPECT_EQ(after.gdi_objects, before.gdi_objects);
    } else {
        printf("note: this system reports no USER or GDI object counts; windows, threads and handles were counted\n");
    }
    EXPECT_EQ(world.wv2->live_objects(), 0);
    EXPECT_EQ(world.wv2->client_references(), 0);
    EXPECT_EQ(edits().size(), 200u);
    EXPECT_EQ(messages().size(), 200u);
}

}  // namespace
