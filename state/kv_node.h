// One node of the kv_map tree.  Kept apart from kv_map.h because only the
// tree code and the tests that check its balance look inside a node.
#pragma once

#include <cstdint>

#include "kv_map.h"

struct kv_node {
    kv_node* parent;
    kv_node* left;
    kv_node* right;
    uint64_t height;  // a leaf is 1, an absent child counts 0
    kv_entry* entry;
};
