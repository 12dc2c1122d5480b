// The editor's two windows: the view window (UI thread) that holds the
// control, and the hidden relay window (host thread) on which the page's
// edits reach the host.  Both classes carry the editor's address in their
// names, so that two editors never share a class.
#pragma once

#include <stdint.h>
#include <windows.h>

struct editor;
struct editor_startup;

int view_window_class_register(editor* e);
void view_window_class_unregister(editor* e);
// Child mode: hidden and without parent until the control is ready.
// Otherwise a visible top-level window at once.
int view_window_create(editor* e, const editor_startup* startup);

int relay_window_create(editor* e, uint8_t is_child, HWND parent);
void relay_window_destroy(editor* e);
