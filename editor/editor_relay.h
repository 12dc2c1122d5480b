// The page's edits travel from the UI thread to the host thread, where the
// edit callbacks run; the UI thread waits until they have.
#pragma once

#include <stdint.h>

// user_data is the editor: these stand in page_callbacks for the edit callbacks.
void relay_begin_edit(void* user_data, uint32_t index, float value);
void relay_perform_edit(void* user_data, uint32_t index, float value);
void relay_end_edit(void* user_data, uint32_t index, float value);
