#include <cstdio>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "kv_map.h"
#include "map_entries.h"
#include "state_bytes.h"

namespace {

std::string write_tar(const entry_list& entries)
{
    kv_map* map = kv_map_new();
    EXPECT_NE(map, nullptr);
    for (const auto& e : entries)
        EXPECT_EQ(kv_map_insert(map, e.first.data(), e.first.size(), e.second.data(), e.second.size()), 0);
    size_t length = 0;
    void* bytes = kv_map_to_tar(map, &length);
    kv_map_free(map);
    std::string image = bytes ? std::string((const char*)bytes, length) : std::string("(failed)");
    free(bytes);
    return image;
}

TEST(ustar, an_empty_map_is_two_zero_blocks)
{
    EXPECT_EQ(write_tar({}), zeros(1024));
}

struct footprint_case {
    size_t data_size;
    size_t image_size;
};

TEST(ustar, entries_take_whole_blocks)
{
    const footprint_case cases[] = {{0, 512 + 1024}, {1, 1024 + 1024}, {512, 1024 + 1024}, {513, 1536 + 1024}};
    for (const footprint_case& c : cases) {
        std::string image = write_tar({{"e", std::string(c.data_size, 'd')}});
        EXPECT_EQ(image.size(), c.image_size) << c.data_size;
        EXPECT_EQ(image.substr(512 + c.data_size), zeros(c.image_size - 512 - c.data_size)) << c.data_size;
    }
}

TEST(ustar, names_of_100_bytes_fail_the_whole_write)
{
    EXPECT_EQ(write_tar({{std::string(99, 'n'), "x"}}).size(), 2048u);
    EXPECT_EQ(write_tar({{"a", "x"}, {std::string(100, 'n'), "x"}}), "(failed)");
}

// Every header field as written, for the entry every state holds.
TEST(ustar, header_of_the_version_entry)
{
    std::string image = write_tar({{"version", "1.0"}});
    ASSERT_EQ(image.size(), 2048u);
    std::string expected = zeros(512);
    expected.replace(0, 7, "version");
    expected.replace(100, 8, std::string("0000644\0", 8));
    expected.replace(108, 8, std::string("0000000\0", 8));
    expected.replace(116, 8, std::string("0000000\0", 8));
    expected.replace(124, 12, std::string("00000000003\0", 12));
    expected.replace(136, 12, std::string("00000000000\0", 12));
    expected.replace(148, 8, std::string("07346\0\0 ", 8));
    expected[156] = '0';
    expected.replace(257, 6, std::string("ustar\0", 6));
    expected.replace(263, 2, "00");
    EXPECT_EQ(image.substr(0, 512), expected);
    EXPECT_EQ(image.substr(512, 512), padded("1.0"));
    EXPECT_EQ(ustar_unsigned_sum(expected), 07346u);
}

// The checksum adds the bytes as signed values: for a name with high bytes
// it differs from the POSIX sum, and a negative sum kept modulo 2^18 needs
// six digits, which leave byte 154 NUL and byte 155 a space.
TEST(ustar, checksum_adds_signed_bytes)
{
    const std::string names[] = {"\xff", std::string(99, '\x80'), "plain"};
    for (const std::string& name : names) {
        std::string header = write_tar({{name, "v"}}).substr(0, 512);
        long long sum = 0;
        for (int i = 0; i < 512; ++i)
            sum += (i >= 148 && i < 156) ? ' ' : (signed char)header[i];
        char digits[16];
        int count = snprintf(digits, sizeof digits, "%05llo", (unsigned long long)sum & 0x3FFFF);
        std::string expected = std::string(digits, count) + zeros(7 - count) + " ";
        EXPECT_EQ(header.substr(148, 8), expected) << name.size();
        EXPECT_EQ(header[154], '\0');
        EXPECT_EQ(header[155], ' ');
    }
}

TEST(ustar, write_then_read_gives_every_entry_back)
{
    entry_list entries = {{"z", std::string(700, '\x01')}, {"dup", "first"}, {"a", ""},
                          {"dup", "second"}, {"bin", std::string("\0\xff\0", 3)}};
    std::string image = write_tar(entries);
    std::vector<unsigned char> buffer = exact(image);
    kv_map* map = kv_map_from_tar(buffer.data(), buffer.size());
    ASSERT_NE(map, nullptr);
    // Equal keys swap at each insertion into a map: "second" was written
    // first, so it is read first and "first" goes in before it.
    EXPECT_EQ(entries_of(map), (entry_list{{"a", ""}, {"bin", std::string("\0\xff\0", 3)}, {"dup", "first"},
                                           {"dup", "second"}, {"z", std::string(700, '\x01')}}));
    kv_map_free(map);
}

// A value too large for eleven octal digits must fail, not spill into the
// next header field.  The value bytes are never read.
TEST(ustar, a_size_beyond_eleven_digits_fails_the_write)
{
    kv_map* map = kv_map_new();
    ASSERT_NE(map, nullptr);
    const char value[1] = {'x'};
    ASSERT_EQ(kv_map_insert(map, "big", 3, value, (size_t)1 << 33), 0);
    size_t length = 0;
    EXPECT_EQ(kv_map_to_tar(map, &length), nullptr);
    kv_map_free(map);
}

// The largest size the reader takes, with its data really there: a 2 GiB
// zeroed buffer, which calloc maps lazily, so only the pages read cost.
TEST(ustar, the_largest_size_is_read)
{
    const size_t size = ((size_t)1 << 31) - 1;
    unsigned char* buffer = (unsigned char*)calloc(512 + size + 1, 1);
    ASSERT_NE(buffer, nullptr);
    std::string header = ustar_header("huge", "17777777777" + zeros(1));
    memcpy(buffer, header.data(), 512);
    kv_map* map = kv_map_from_tar(buffer, 512 + size + 1);
    ASSERT_NE(map, nullptr);
    size_t length = 0;
    EXPECT_EQ(kv_map_lookup(map, "huge", 4, &length), buffer + 512);
    EXPECT_EQ(length, size);
    kv_map_free(map);
    free(buffer);
}

}  // namespace
