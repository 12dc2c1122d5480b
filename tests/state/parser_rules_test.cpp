// Every rule by which bytes from outside are accepted or refused, as one
// table of crafted inputs.  Each input is handed over in a buffer of exactly
// its size, so the sanitizer builds and valgrind catch any read past the end.
#include <cerrno>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "kv_map.h"
#include "map_entries.h"
#include "plugin_state.h"
#include "state_bytes.h"

namespace {

enum parser { tar_reader, records_reader, state_parser, vst3_restore, lv2_restore };

struct parser_case {
    const char* what;
    parser reader;
    std::string input;
    // Readers and state parser: the errno of a refusal, 0 for acceptance.
    // Restores: nonzero for a refusal (they promise no errno).
    int refusal;
    entry_list entries;         // readers: what an accepted input holds, in order
    std::vector<float> values;  // restores: the six values an accepted blob gives
};

const float inf = std::numeric_limits<float>::infinity();
const float nan_value = std::numeric_limits<float>::quiet_NaN();
const std::vector<float> defaults(state_defaults, state_defaults + 6);

std::vector<float> defaults_with(int index, float value)
{
    std::vector<float> v = defaults;
    v[index] = value;
    return v;
}

std::string header_with_size(const std::string& size)
{
    return ustar_header("a", size);
}

std::vector<parser_case> cases()
{
    const std::string one_entry = tar_entry("a", "xy");
    return {
        // The archive reader.
        {"empty buffer", tar_reader, "", 0, {}, {}},
        {"end blocks alone", tar_reader, zeros(1024), 0, {}, {}},
        {"no end blocks: read to the end", tar_reader, tar_entry("a", "xy") + tar_entry("b", ""), 0,
         {{"a", "xy"}, {"b", ""}}, {}},
        {"reading stops at the first empty name", tar_reader, one_entry + zeros(512) + tar_entry("b", "2"), 0,
         {{"a", "xy"}}, {}},
        {"one end byte is enough", tar_reader, one_entry + zeros(1), 0, {{"a", "xy"}}, {}},
        {"512 bytes of data take one block", tar_reader, tar_entry("a", std::string(512, 'x')) + tar_entry("b", "1"),
         0, {{"a", std::string(512, 'x')}, {"b", "1"}}, {}},
        {"100-byte name without NUL", tar_reader, tar_entry(std::string(100, 'n'), "v"), 0,
         {{std::string(100, 'n'), "v"}}, {}},
        {"duplicate names: both kept, the newer first", tar_reader, tar({{"d", "1"}, {"d", "2"}}), 0,
         {{"d", "2"}, {"d", "1"}}, {}},
        {"entries come out in ascending order", tar_reader, tar({{"b", "2"}, {"a", "1"}}), 0,
         {{"a", "1"}, {"b", "2"}}, {}},
        {"checksum, magic, typeflag and prefix are not looked at", tar_reader,
         [] {
             std::string h = ustar_header("a", size_field(1));
             h.replace(148, 8, "garbage!");
             h[156] = '5';
             h.replace(257, 6, "xxxxxx");
             h[345] = 'p';
             return h + padded("z");
         }(),
         0, {{"a", "z"}}, {}},
        {"data complete, padding cut short", tar_reader, ustar_header("a", size_field(10)) + "0123456789", 0,
         {{"a", "0123456789"}}, {}},
        {"size digits ended by a space", tar_reader, header_with_size("00000000001 ") + padded("x"), EINVAL, {}, {}},
        {"size field holding the digit 8", tar_reader, header_with_size("00000000008" + zeros(1)) + padded("x"),
         EINVAL, {}, {}},
        {"size field with a leading space", tar_reader, header_with_size(" 0000000001" + zeros(1)) + padded("x"),
         EINVAL, {}, {}},
        {"size field with a NUL among the digits", tar_reader, header_with_size("0000000000" + zeros(2)), EINVAL,
         {}, {}},
        {"size of 2^31 is refused", tar_reader, header_with_size("20000000000" + zeros(1)), EINVAL, {}, {}},
        {"largest size, data past the end", tar_reader, header_with_size("17777777777" + zeros(1)) + zeros(512),
         EINVAL, {}, {}},
        {"bad size in a later header fails the whole read", tar_reader,
         one_entry + header_with_size("0000000000x" + zeros(1)), EINVAL, {}, {}},
        {"truncated header", tar_reader, one_entry + tar_entry("b", "1").substr(0, 300), EINVAL, {}, {}},
        {"a lone nonzero byte", tar_reader, "x", EINVAL, {}, {}},
        {"data cut short", tar_reader, ustar_header("a", size_field(10)) + "01234", EINVAL, {}, {}},

        // The record reader.
        {"no records", records_reader, "", 0, {}, {}},
        {"value length 0", records_reader, record("k", ""), 0, {{"k", ""}}, {}},
        {"records in any order come out ascending", records_reader,
         record("b", "2") + record("a", "1") + record("ab", "3"), 0, {{"a", "1"}, {"ab", "3"}, {"b", "2"}}, {}},
        {"duplicate keys: both kept, the newer first", records_reader, record("k", "1") + record("k", "2"), 0,
         {{"k", "2"}, {"k", "1"}}, {}},
        {"key length 0 fails the whole parse", records_reader, record("a", "1") + record("", "x"), EINVAL, {}, {}},
        {"record head cut short", records_reader, record("a", "1") + std::string("\x01\0\0", 3), EINVAL, {}, {}},
        {"key past the end", records_reader, u32_le(5) + u32_le(0) + "abc", EINVAL, {}, {}},
        {"value past the end", records_reader, u32_le(1) + u32_le(4) + "k" + "ab", EINVAL, {}, {}},
        {"lengths whose 32-bit sum wraps to 0", records_reader, u32_le(0xFFFFFFF8u) + u32_le(8) + "abcdefgh",
         EINVAL, {}, {}},
        {"largest lengths", records_reader, u32_le(0xFFFFFFFFu) + u32_le(0xFFFFFFFFu) + "abc", EINVAL, {}, {}},

        // The state layout.
        {"empty blob: no dsp.tar", state_parser, "", EINVAL, {}, {}},
        {"no dsp.tar", state_parser, tar({{"other.tar", tar(default_inner())}}), EINVAL, {}, {}},
        {"dsp.tar that is no archive", state_parser, tar({{"dsp.tar", "garbage"}}), EINVAL, {}, {}},
        {"no version", state_parser, blob_with_inner(removed(default_inner(), "version")), EINVAL, {}, {}},
        {"no info.map", state_parser, blob_with_inner(removed(default_inner(), "info.map")), EINVAL, {}, {}},
        {"no parameters.map", state_parser, blob_with_inner(removed(default_inner(), "parameters.map")), EINVAL, {},
         {}},
        {"info.map with a key length 0", state_parser,
         blob_with_inner(replaced(default_inner(), "info.map", records(default_info()) + record("", "x"))), EINVAL,
         {}, {}},
        {"parameters.map cut short", state_parser,
         blob_with_inner(replaced(default_inner(), "parameters.map", records(default_parameters()).substr(0, 20))),
         EINVAL, {}, {}},
        {"version 1.01", state_parser, blob_with_version("1.01"), EINVAL, {}, {}},
        {"version 1.0a", state_parser, blob_with_version("1.0a"), EINVAL, {}, {}},
        {"version 1.1", state_parser, blob_with_version("1.1"), EINVAL, {}, {}},
        {"version 1.", state_parser, blob_with_version("1."), EINVAL, {}, {}},
        {"version 1.0 and NUL", state_parser, blob_with_version(std::string("1.0\0", 4)), EINVAL, {}, {}},
        {"version empty", state_parser, blob_with_version(""), EINVAL, {}, {}},
        {"outer archive cut inside dsp.tar", state_parser, blob_with_inner(default_inner()).substr(0, 3000), EINVAL,
         {}, {}},

        // Restoring the six values.
        {"a default blob", vst3_restore, blob_with_inner(default_inner()), 0, {}, defaults},
        {"version 1.0 and a line feed", vst3_restore, blob_with_version("1.0\n"), 0, {}, defaults},
        {"version 1.0 and three spaces", vst3_restore, blob_with_version("1.0   "), 0, {}, defaults},
        {"version 1.0 and every kind of whitespace", lv2_restore, blob_with_version("1.0\t\n\v\f\r "), 0, {},
         defaults},
        {"id of 29 bytes", vst3_restore, blob_with_info(replaced(default_info(), "id", std::string(state_id) + "x")),
         1, {}, {}},
        {"id of 27 bytes", vst3_restore,
         blob_with_info(replaced(default_info(), "id", std::string(state_id).substr(0, 27))), 1, {}, {}},
        {"no id", vst3_restore, blob_with_info(removed(default_info(), "id")), 1, {}, {}},
        {"no mix", vst3_restore, blob_with_parameters(removed(default_parameters(), "mix")), 1, {}, {}},
        {"mix of 8 bytes", vst3_restore, blob_with_parameter("mix", f32_le(20.0f) + f32_le(20.0f)), 1, {}, {}},
        {"mix of 0 bytes", lv2_restore, blob_with_parameter("mix", ""), 1, {}, {}},
        {"drive NaN", vst3_restore, blob_with_parameter("drive", f32_le(nan_value)), 1, {}, {}},
        {"bypass NaN", lv2_restore, blob_with_parameter("bypass", f32_le(-nan_value)), 1, {}, {}},
        {"drive 150 clamps to 100", vst3_restore, blob_with_parameter("drive", f32_le(150.0f)), 0, {},
         defaults_with(0, 100.0f)},
        {"volume -3 clamps to 0", vst3_restore, blob_with_parameter("volume", f32_le(-3.0f)), 0, {},
         defaults_with(4, 0.0f)},
        {"volume 250 clamps to 200", lv2_restore, blob_with_parameter("volume", f32_le(250.0f)), 0, {},
         defaults_with(4, 200.0f)},
        {"volume 150 is in range", vst3_restore, blob_with_parameter("volume", f32_le(150.0f)), 0, {},
         defaults_with(4, 150.0f)},
        {"drive +infinity clamps to 100", vst3_restore, blob_with_parameter("drive", f32_le(inf)), 0, {},
         defaults_with(0, 100.0f)},
        {"tone -infinity clamps to 0", lv2_restore, blob_with_parameter("tone", f32_le(-inf)), 0, {},
         defaults_with(1, 0.0f)},
        {"heat 100.5 clamps to 100", vst3_restore, blob_with_parameter("heat", f32_le(100.5f)), 0, {},
         defaults_with(2, 100.0f)},
        {"mix -0.5 clamps to 0", vst3_restore, blob_with_parameter("mix", f32_le(-0.5f)), 0, {},
         defaults_with(3, 0.0f)},
        {"bypass 0.3 in vst3 is off", vst3_restore, blob_with_parameter("bypass", f32_le(0.3f)), 0, {},
         defaults_with(5, 0.0f)},
        {"bypass 0.3 in lv2 is on", lv2_restore, blob_with_parameter("bypass", f32_le(0.3f)), 0, {},
         defaults_with(5, 1.0f)},
        {"bypass 0.5 in vst3 is on", vst3_restore, blob_with_parameter("bypass", f32_le(0.5f)), 0, {},
         defaults_with(5, 1.0f)},
        {"bypass 1 in vst3", vst3_restore, blob_with_parameter("bypass", f32_le(1.0f)), 0, {},
         defaults_with(5, 1.0f)},
        {"bypass 1 in lv2", lv2_restore, blob_with_parameter("bypass", f32_le(1.0f)), 0, {}, defaults_with(5, 1.0f)},
        {"bypass 0 in vst3", vst3_restore, blob_with_parameter("bypass", f32_le(0.0f)), 0, {}, defaults},
        {"bypass 0 in lv2", lv2_restore, blob_with_parameter("bypass", f32_le(0.0f)), 0, {}, defaults},
        {"bypass -0 in lv2 is off", lv2_restore, blob_with_parameter("bypass", f32_le(-0.0f)), 0, {}, defaults},
        {"bypass +infinity in vst3", vst3_restore, blob_with_parameter("bypass", f32_le(inf)), 0, {},
         defaults_with(5, 1.0f)},
        {"extra inner and outer entries are ignored", lv2_restore,
         tar({{"a.outer", "1"}, {"dsp.tar", tar(replaced(default_inner(), "notes.txt", "hello"))},
              {"z.outer", std::string(513, 'z')}}),
         0, {}, defaults},
        {"other info keys do not matter", vst3_restore,
         blob_with_info({{"id", state_id}, {"format", "other"}, {"platform", "elsewhere"}}), 0, {}, defaults},
        {"unknown parameters do not matter", vst3_restore,
         blob_with_parameter("warmth", f32_le(nan_value)), 0, {}, defaults},
    };
}

const char* reader_name(parser p)
{
    switch (p) {
    case tar_reader: return "kv_map_from_tar";
    case records_reader: return "kv_map_from_records";
    case state_parser: return "plugin_state_parse";
    case vst3_restore: return "plugin_state_restore vst3";
    case lv2_restore: return "plugin_state_restore lv2";
    }
    return "";
}

// A refused restore must leave every one of the caller's values as it was.
void check_restore(const char* format, const parser_case& c, const std::vector<unsigned char>& input)
{
    const float untouched = -7.0f;
    float values[6] = {untouched, untouched, untouched, untouched, untouched, untouched};
    int result = plugin_state_restore(format, input.data(), input.size(), values);
    if (c.refusal) {
        EXPECT_EQ(result, -1);
        for (float v : values)
            EXPECT_EQ(v, untouched);
    } else {
        ASSERT_EQ(result, 0);
        EXPECT_EQ(std::vector<float>(values, values + 6), c.values);
    }
}

TEST(parser_rules, crafted_inputs)
{
    for (const parser_case& c : cases()) {
        SCOPED_TRACE(std::string(reader_name(c.reader)) + ": " + c.what);
        std::vector<unsigned char> input = exact(c.input);
        errno = 0;
        if (c.reader == tar_reader || c.reader == records_reader) {
            kv_map* map = c.reader == tar_reader ? kv_map_from_tar(input.data(), input.size())
                                                 : kv_map_from_records(input.data(), input.size());
            if (c.refusal) {
                EXPECT_EQ(map, nullptr);
                EXPECT_EQ(errno, c.refusal);
            } else {
                ASSERT_NE(map, nullptr);
                EXPECT_EQ(entries_of(map), c.entries);
            }
            kv_map_free(map);
        } else if (c.reader == state_parser) {
            plugin_state state;
            int result = plugin_state_parse(&state, input.data(), input.size());
            EXPECT_EQ(result, -1);
            EXPECT_EQ(errno, c.refusal);
            if (result == 0)
                plugin_state_free(&state);
            check_restore("vst3", c, input);
        } else {
            check_restore(c.reader == vst3_restore ? "vst3" : "lv2", c, input);
        }
    }
}

}  // namespace
