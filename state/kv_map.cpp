// The map itself: an AVL tree with parent links, so that iteration and
// freeing need neither recursion nor a stack.
#include <cstdlib>

#include "kv_map.h"
#include "kv_node.h"

int kv_map_compare(const kv_entry* a, const kv_entry* b)
{
    const unsigned char* x = (const unsigned char*)a->key;
    const unsigned char* y = (const unsigned char*)b->key;
    uint64_t common = a->key_len < b->key_len ? a->key_len : b->key_len;
    for (uint64_t i = 0; i < common; ++i) {
        if (x[i] != y[i])
            return x[i] < y[i] ? -1 : 1;
        // Like strncmp: a shared NUL ends the byte comparison.
        if (x[i] == 0)
            break;
    }
    if (a->key_len == b->key_len)
        return 0;
    return a->key_len < b->key_len ? -1 : 1;
}

kv_map* kv_map_new()
{
    kv_map* map = (kv_map*)malloc(sizeof(kv_map));
    if (!map)
        return nullptr;
    map->root = nullptr;
    map->compare = kv_map_compare;
    return map;
}

static kv_node* leftmost(kv_node* node)
{
    while (node->left)
        node = node->left;
    return node;
}

// Takes the smallest node out, one at a time: each is a left child or the
// root, and its right subtree simply moves up into its place.  No node is
// touched after it is freed, which a plain in-order walk could not promise.
void kv_map_free(kv_map* map)
{
    if (!map)
        return;
    kv_node* node = map->root ? leftmost(map->root) : nullptr;
    while (node) {
        kv_node* parent = node->parent;
        kv_node* right = node->right;
        kv_node* next = parent;
        if (right) {
            right->parent = parent;
            next = leftmost(right);
        }
        if (parent)
            parent->left = right;
        else
            map->root = right;
        free(node->entry);
        free(node);
        node = next;
    }
    free(map);
}

static uint64_t height_of(const kv_node* node)
{
    return node ? node->height : 0;
}

static void update_height(kv_node* node)
{
    uint64_t left = height_of(node->left), right = height_of(node->right);
    node->height = 1 + (left > right ? left : right);
}

static void replace_child(kv_map* map, kv_node* parent, kv_node* old_child, kv_node* new_child)
{
    if (!parent)
        map->root = new_child;
    else if (parent->left == old_child)
        parent->left = new_child;
    else
        parent->right = new_child;
}

// Lifts node's right child into node's place; returns the lifted node.
static kv_node* rotate_left(kv_map* map, kv_node* node)
{
    kv_node* lifted = node->right;
    node->right = lifted->left;
    if (lifted->left)
        lifted->left->parent = node;
    lifted->parent = node->parent;
    replace_child(map, node->parent, node, lifted);
    lifted->left = node;
    node->parent = lifted;
    update_height(node);
    update_height(lifted);
    return lifted;
}

static kv_node* rotate_right(kv_map* map, kv_node* node)
{
    kv_node* lifted = node->left;
    node->left = lifted->right;
    if (lifted->right)
        lifted->right->parent = node;
    lifted->parent = node->parent;
    replace_child(map, node->parent, node, lifted);
    lifted->right = node;
    node->parent = lifted;
    update_height(node);
    update_height(lifted);
    return lifted;
}

static void rebalance_upwards(kv_map* map, kv_node* node)
{
    for (; node; node = node->parent) {
        update_height(node);
        uint64_t left = height_of(node->left), right = height_of(node->right);
        if (left > right + 1) {
            if (height_of(node->left->left) < height_of(node->left->right))
                rotate_left(map, node->left);
            node = rotate_right(map, node);
        } else if (right > left + 1) {
            if (height_of(node->right->right) < height_of(node->right->left))
                rotate_right(map, node->right);
            node = rotate_left(map, node);
        }
    }
}

int kv_map_insert(kv_map* map, const void* key, size_t key_len, const void* value, size_t value_len)
{
    kv_entry* entry = (kv_entry*)malloc(sizeof(kv_entry));
    if (!entry)
        return -1;
    kv_node* node = (kv_node*)malloc(sizeof(kv_node));
    if (!node) {
        free(entry);
        return -1;
    }
    entry->key_len = key_len;
    entry->value_len = value_len;
    entry->key = key;
    entry->value = value;
    node->left = node->right = nullptr;
    node->height = 1;
    node->entry = entry;

    kv_node* parent = nullptr;
    bool as_left = false;
    for (kv_node* at = map->root; at;) {
        int order = map->compare(entry, at->entry);
        parent = at;
        if (order < 0) {
            as_left = true;
            at = at->left;
        } else if (order > 0) {
            as_left = false;
            at = at->right;
        } else {
            // An equal key goes in just before the equal node, so both stay.
            if (at->left) {
                parent = at->left;
                while (parent->right)
                    parent = parent->right;
                as_left = false;
            } else {
                as_left = true;
            }
            break;
        }
    }
    node->parent = parent;
    if (!parent)
        map->root = node;
    else if (as_left)
        parent->left = node;
    else
        parent->right = node;
    rebalance_upwards(map, node);
    return 0;
}

const void* kv_map_lookup(const kv_map* map, const void* key, size_t key_len, size_t* value_len)
{
    kv_entry probe = {key_len, 0, key, nullptr};
    for (const kv_node* at = map->root; at;) {
        int order = map->compare(&probe, at->entry);
        if (order < 0) {
            at = at->left;
        } else if (order > 0) {
            at = at->right;
        } else {
            if (value_len)
                *value_len = (size_t)at->entry->value_len;
            return at->entry->value;
        }
    }
    return nullptr;
}

static const kv_node* successor(const kv_node* node)
{
    if (node->right)
        return leftmost(node->right);
    while (node->parent && node->parent->right == node)
        node = node->parent;
    return node->parent;
}

int kv_map_foreach(const kv_map* map, kv_map_visit visit, void* user)
{
    const kv_node* node = map->root ? leftmost(map->root) : nullptr;
    while (node) {
        const kv_node* next = successor(node);
        const kv_entry* e = node->entry;
        int result = visit(e->key, (size_t)e->key_len, e->value, (size_t)e->value_len, user);
        if (result != 0)
            return result;
        node = next;
    }
    return 0;
}
