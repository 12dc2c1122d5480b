// IBStream doubles: a memory stream, and the ways a host's stream can let a
// plug-in down (a failing seek or tell, short reads and writes, wrong
// result codes), with a record of the sizes asked for.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "vst3_interfaces.h"

enum test_stream_fault {
    stream_sound,
    stream_seek_fails,
    stream_tell_fails,
    stream_short_read,      // gives one byte less than asked, reporting success
    stream_short_write,     // takes at most write_limit bytes in all
    stream_wrong_results,   // moves every byte but reports kResultFalse
    stream_claims_size,     // tell reports claimed_size; reads fill nothing
};

struct test_stream {
    IBStream face;  // first: the stream is its face
    std::vector<char> bytes;
    int64_t position;
    int32_t ref_count;
    test_stream_fault fault;
    size_t write_limit;
    int64_t claimed_size;
    std::vector<int32_t> read_requests;
    std::vector<int32_t> write_requests;
};

static inline test_stream* test_stream_of(IBStream* s)
{
    return (test_stream*)s;
}

static inline tresult test_stream_query_interface(IBStream* self, const TUID iid, void** obj)
{
    if (vst3_uid_equal(iid, iid_FUnknown) || vst3_uid_equal(iid, iid_IBStream)) {
        *obj = self;
        ++test_stream_of(self)->ref_count;
        return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
}

static inline uint32_t test_stream_add_ref(IBStream* self)
{
    return (uint32_t)++test_stream_of(self)->ref_count;
}

static inline uint32_t test_stream_release(IBStream* self)
{
    return (uint32_t)--test_stream_of(self)->ref_count;
}

static inline tresult test_stream_read(IBStream* self, void* buffer, int32_t n, int32_t* count)
{
    test_stream* s = test_stream_of(self);
    s->read_requests.push_back(n);
    if (s->fault == stream_claims_size) {
        *count = n;
        return kResultOk;
    }
    int64_t left = (int64_t)s->bytes.size() - s->position;
    int64_t take = n < left ? n : left;
    if (take < 0)
        take = 0;
    if (s->fault == stream_short_read && take > 0)
        take -= 1;
    memcpy(buffer, s->bytes.data() + s->position, (size_t)take);
    s->position += take;
    if (count != nullptr)
        *count = (int32_t)take;
    return s->fault == stream_wrong_results ? kResultFalse : kResultOk;
}

static inline tresult test_stream_write(IBStream* self, void* buffer, int32_t n, int32_t* count)
{
    test_stream* s = test_stream_of(self);
    s->write_requests.push_back(n);
    int64_t take = n;
    if (s->fault == stream_short_write) {
        int64_t room = (int64_t)s->write_limit - (int64_t)s->bytes.size();
        take = take < room ? take : room;
    }
    if ((size_t)(s->position + take) > s->bytes.size())
        s->bytes.resize((size_t)(s->position + take));
    memcpy(s->bytes.data() + s->position, buffer, (size_t)take);
    s->position += take;
    if (count != nullptr)
        *count = (int32_t)take;
    return s->fault == stream_wrong_results ? kResultFalse : kResultOk;
}

static inline int64_t test_stream_size(const test_stream* s)
{
    return s->fault == stream_claims_size ? s->claimed_size : (int64_t)s->bytes.size();
}

static inline tresult test_stream_seek(IBStream* self, int64_t pos, int32_t mode, int64_t* result)
{
    test_stream* s = test_stream_of(self);
    if (s->fault == stream_seek_fails)
        return kResultFalse;
    int64_t base = mode == kIBSeekSet ? 0 : mode == kIBSeekCur ? s->position : test_stream_size(s);
    if (mode < kIBSeekSet || mode > kIBSeekEnd || base + pos < 0)
        return kInvalidArgument;
    s->position = base + pos;
    if (result != nullptr)
        *result = s->position;
    return kResultOk;
}

static inline tresult test_stream_tell(IBStream* self, int64_t* pos)
{
    test_stream* s = test_stream_of(self);
    if (s->fault == stream_tell_fails)
        return kResultFalse;
    *pos = s->position;
    return kResultOk;
}

static const IBStreamVtbl test_stream_table = {
    test_stream_query_interface, test_stream_add_ref, test_stream_release,
    test_stream_read, test_stream_write, test_stream_seek, test_stream_tell,
};

// An empty stream at position 0, with the given fault.
static inline void test_stream_init(test_stream& s, test_stream_fault fault = stream_sound)
{
    s.face.vtbl = &test_stream_table;
    s.bytes.clear();
    s.position = 0;
    s.ref_count = 1;
    s.fault = fault;
    s.write_limit = 0;
    s.claimed_size = 0;
    s.read_requests.clear();
    s.write_requests.clear();
}

// A stream holding bytes, positioned at its end as a host's stream often is.
static inline void test_stream_init_with(test_stream& s, const std::vector<char>& bytes,
                                         test_stream_fault fault = stream_sound)
{
    test_stream_init(s, fault);
    s.bytes = bytes;
    s.position = (int64_t)bytes.size();
}
