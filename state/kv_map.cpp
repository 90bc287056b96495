// The ordered map: an AVL tree of borrowed byte strings, equal keys kept side by side.
#include "state/kv_map.h"

#include <errno.h>
#include <stdlib.h>
#include <string.h>

#include "state/map_reader.h"

struct KeyValueEntry {
    uint64_t key_length;
    uint64_t value_length;
    const uint8_t* key;
    const uint8_t* value;
};

struct KvNode {
    KvNode* parent;
    KvNode* left;
    KvNode* right;
    uint64_t height;
    KeyValueEntry* entry;
};

typedef int (*KeyValueCompare)(const KeyValueEntry* a, const KeyValueEntry* b);

struct KeyValueMap {
    KvNode* root;
    KeyValueCompare compare;
};

// strncmp over the common length (a shared NUL ends it as equal), then the shorter key first.
static int compare_keys(const KeyValueEntry* a, const KeyValueEntry* b) {
    uint64_t n = a->key_length < b->key_length ? a->key_length : b->key_length;
    for (uint64_t i = 0; i < n; ++i) {
        if (a->key[i] != b->key[i]) return a->key[i] < b->key[i] ? -1 : 1;
        if (a->key[i] == 0) break;
    }
    if (a->key_length == b->key_length) return 0;
    return a->key_length < b->key_length ? -1 : 1;
}

KeyValueMap* kv_map_create() {
    KeyValueMap* map = (KeyValueMap*)malloc(sizeof(KeyValueMap));
    if (!map) return nullptr;
    map->root = nullptr;
    map->compare = compare_keys;
    return map;
}

static uint64_t height_of(const KvNode* node) {
    return node ? node->height : 0;
}

static void update_height(KvNode* node) {
    uint64_t hl = height_of(node->left), hr = height_of(node->right);
    node->height = 1 + (hl > hr ? hl : hr);
}

// Puts `child` where `old` hung below `parent` (or at the root).
static void replace_child(KeyValueMap* map, KvNode* parent, KvNode* old, KvNode* child) {
    if (child) child->parent = parent;
    if (!parent)
        map->root = child;
    else if (parent->left == old)
        parent->left = child;
    else
        parent->right = child;
}

// The child on the `toward` side takes the node's place, the node moving to its `away` side
// (a right rotation goes from left toward right); returns the node now at that place.
static KvNode* rotate(KeyValueMap* map, KvNode* node, KvNode* KvNode::*toward,
                      KvNode* KvNode::*away) {
    KvNode* pivot = node->*toward;
    replace_child(map, node->parent, node, pivot);
    node->*toward = pivot->*away;
    if (node->*toward) (node->*toward)->parent = node;
    pivot->*away = node;
    node->parent = pivot;
    update_height(node);
    update_height(pivot);
    return pivot;
}

static KvNode* rotate_right(KeyValueMap* map, KvNode* node) {
    return rotate(map, node, &KvNode::left, &KvNode::right);
}

static KvNode* rotate_left(KeyValueMap* map, KvNode* node) {
    return rotate(map, node, &KvNode::right, &KvNode::left);
}

// Restores the AVL balance on every node from `node` up to the root.
static void rebalance_upwards(KeyValueMap* map, KvNode* node) {
    while (node) {
        uint64_t hl = height_of(node->left), hr = height_of(node->right);
        if (hl == hr + 2) {
            KvNode* l = node->left;
            if (height_of(l->left) <= height_of(l->right)) rotate_left(map, l);
            node = rotate_right(map, node);
        } else if (hr == hl + 2) {
            KvNode* r = node->right;
            if (height_of(r->right) <= height_of(r->left)) rotate_right(map, r);
            node = rotate_left(map, node);
        } else {
            update_height(node);
        }
        node = node->parent;
    }
}

// Hangs `node` directly before `twin` in key order: the rightmost spot of twin's left subtree.
static void attach_before(KvNode* twin, KvNode* node) {
    KvNode* at = twin->left;
    if (!at) {
        twin->left = node;
        node->parent = twin;
        return;
    }
    while (at->right)
        at = at->right;
    at->right = node;
    node->parent = at;
}

// Hangs a new leaf under a non-empty tree: less goes left, greater right.
static void attach(KeyValueMap* map, KvNode* node) {
    KvNode* at = map->root;
    for (;;) {
        int c = map->compare(node->entry, at->entry);
        if (c == 0) {
            attach_before(at, node);
            return;
        }
        KvNode** slot = c < 0 ? &at->left : &at->right;
        if (!*slot) {
            *slot = node;
            node->parent = at;
            return;
        }
        at = *slot;
    }
}

int kv_map_insert(KeyValueMap* map, const void* key, uint64_t key_length, const void* value,
                  uint64_t value_length) {
    KeyValueEntry* entry = (KeyValueEntry*)malloc(sizeof(KeyValueEntry));
    if (!entry) return -1;
    KvNode* node = (KvNode*)malloc(sizeof(KvNode));
    if (!node) {
        free(entry);
        return -1;
    }
    *entry = {key_length, value_length, (const uint8_t*)key, (const uint8_t*)value};
    *node = {nullptr, nullptr, nullptr, 1, entry};
    if (!map->root) {
        map->root = node;
        return 0;
    }
    attach(map, node);
    rebalance_upwards(map, node);
    return 0;
}

const uint8_t* kv_map_find(const KeyValueMap* map, const void* key, uint64_t key_length,
                           uint64_t* out_length) {
    KeyValueEntry probe = {key_length, 0, (const uint8_t*)key, nullptr};
    const KvNode* at = map->root;
    while (at) {
        int c = map->compare(&probe, at->entry);
        if (c == 0) {
            *out_length = at->entry->value_length;
            return at->entry->value;
        }
        at = c < 0 ? at->left : at->right;
    }
    return nullptr;
}

static KvNode* leftmost(KvNode* node) {
    while (node && node->left)
        node = node->left;
    return node;
}

static KvNode* successor(KvNode* node) {
    if (node->right) return leftmost(node->right);
    while (node->parent && node->parent->right == node)
        node = node->parent;
    return node->parent;
}

int32_t kv_map_for_each(const KeyValueMap* map, KeyValueVisitor visitor, void* context) {
    for (KvNode* node = leftmost(map->root); node;) {
        KvNode* next = successor(node);
        const KeyValueEntry* e = node->entry;
        int32_t result = visitor(e->key, e->key_length, e->value, e->value_length, context);
        if (result != 0) return result;
        node = next;
    }
    return 0;
}

void kv_map_destroy(KeyValueMap* map) {
    if (!map) return;
    KvNode* node = map->root;
    // Frees bottom-up without recursion: descend to a leaf, free it, climb to its parent.
    while (node) {
        if (node->left) {
            node = node->left;
        } else if (node->right) {
            node = node->right;
        } else {
            KvNode* parent = node->parent;
            if (parent) (parent->left == node ? parent->left : parent->right) = nullptr;
            free(node->entry);
            free(node);
            node = parent;
        }
    }
    free(map);
}

KeyValueMap* read_into_new_map(MapReader read, const uint8_t* bytes, size_t size) {
    KeyValueMap* map = kv_map_create();
    int error = map ? read(map, bytes, size) : ENOMEM;
    if (error == 0) return map;
    kv_map_destroy(map);
    errno = error;
    return nullptr;
}

// Height, balance and parent link of the subtree; 0 when any of them is wrong.
static uint64_t checked_height(const KvNode* node, const KvNode* parent) {
    if (!node) return 0;
    if (node->parent != parent) return 0;
    uint64_t hl = checked_height(node->left, node);
    uint64_t hr = checked_height(node->right, node);
    if ((node->left && hl == 0) || (node->right && hr == 0)) return 0;
    if (hl > hr + 1 || hr > hl + 1) return 0;
    uint64_t h = 1 + (hl > hr ? hl : hr);
    return node->height == h ? h : 0;
}

bool kv_map_is_consistent(const KeyValueMap* map) {
    if (map->root && checked_height(map->root, nullptr) == 0) return false;
    const KvNode* prev = nullptr;
    for (KvNode* node = leftmost(map->root); node; node = successor(node)) {
        if (prev && map->compare(prev->entry, node->entry) > 0) return false;
        prev = node;
    }
    return true;
}
