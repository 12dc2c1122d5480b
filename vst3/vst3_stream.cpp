#include "vst3_stream.h"

#include <cstdint>
#include <cstdlib>

static const size_t max_chunk = 0x7FFFFFFF;

static size_t chunk_at(size_t done, size_t length)
{
    return length - done < max_chunk ? length - done : max_chunk;
}

bool read_stream(IBStream* stream, void** buffer, size_t* length)
{
    int64_t position = 0, size = 0;
    if (stream->vtbl->seek(stream, 0, kIBSeekEnd, &position) != kResultOk)
        return false;
    if (stream->vtbl->tell(stream, &size) != kResultOk)
        return false;
    if (stream->vtbl->seek(stream, 0, kIBSeekSet, &position) != kResultOk)
        return false;
    if (size <= 0) {
        *buffer = nullptr;
        *length = 0;
        return true;
    }
    if ((uint64_t)size > SIZE_MAX)
        return false;

    size_t total = (size_t)size;
    char* bytes = (char*)malloc(total);
    if (bytes == nullptr)
        return false;
    for (size_t done = 0; done < total;) {
        size_t chunk = chunk_at(done, total);
        int32_t count = 0;
        // Only the count tells: some hosts report success for a short read.
        stream->vtbl->read(stream, bytes + done, (int32_t)chunk, &count);
        if (count != (int32_t)chunk) {
            free(bytes);
            return false;
        }
        done += chunk;
    }
    *buffer = bytes;
    *length = total;
    return true;
}

bool write_stream(IBStream* stream, const void* bytes, size_t length)
{
    for (size_t done = 0; done < length;) {
        size_t chunk = chunk_at(done, length);
        int32_t count = 0;
        stream->vtbl->write(stream, (char*)bytes + done, (int32_t)chunk, &count);
        if (count != (int32_t)chunk)
            return false;
        done += chunk;
    }
    return true;
}
