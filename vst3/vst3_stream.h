// Whole-blob transfers through a host's IBStream.  The stream's interface
// moves at most 0x7FFFFFFF bytes per call, so both directions go in chunks.
#pragma once

#include <cstddef>

#include "vst3_interfaces.h"

// Reads the stream whole, from its absolute start to its end, whatever its
// position.  True with a malloc'd buffer (null for an empty stream) and its
// length; false with nothing allocated when the stream cannot be measured,
// rewound or read completely.
bool read_stream(IBStream* stream, void** buffer, size_t* length);

// Writes the bytes at the stream's position; true when every byte went out.
// Whatever was written before a short write stays in the stream.
bool write_stream(IBStream* stream, const void* bytes, size_t length);
