// Any bytes as an archive: no crash, no read outside the input, and every
// map read writes back into an archive that reads the same.
#include <cstddef>
#include <cstdint>

#include "fuzz_oracles.h"
#include "kv_map.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    kv_map* map = kv_map_from_tar(data, size);
    if (!map)
        return 0;
    check_map_inside(map, data, size);
    check_round_trip(map, kv_map_to_tar, kv_map_from_tar);
    kv_map_free(map);
    return 0;
}
