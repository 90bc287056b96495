// The state document: an outer archive holding "dsp.tar", which holds the version text and the
// "info.map" and "parameters.map" map files; extra members are carried but never used.
#include "state/state_document.h"

#include <errno.h>
#include <stdlib.h>
#include <string.h>

#include "state/tar.h"

static const char format_version[] = "1.0";
static const uint64_t format_version_length = 3;
static const char inner_name[] = "dsp.tar";
static const char version_name[] = "version";
static const char info_name[] = "info.map";
static const char parameters_name[] = "parameters.map";

static uint64_t length_of(const char* text) {
    return strlen(text);
}

int state_document_init(StateDocument* doc) {
    *doc = {nullptr, kv_map_create(), kv_map_create(), kv_map_create(), kv_map_create()};
    if (doc->info && doc->parameters && doc->dsp_extras && doc->outer_extras) return 0;
    state_document_free(doc);
    return -1;
}

void state_document_free(StateDocument* doc) {
    kv_map_destroy(doc->info);
    kv_map_destroy(doc->parameters);
    kv_map_destroy(doc->dsp_extras);
    kv_map_destroy(doc->outer_extras);
    *doc = {nullptr, nullptr, nullptr, nullptr, nullptr};
}

static int32_t insert_into(const uint8_t* key, uint64_t key_length, const uint8_t* value,
                           uint64_t value_length, void* target) {
    return kv_map_insert((KeyValueMap*)target, key, key_length, value, value_length);
}

// Archive of `members` plus every member of `extras`; null on any failure.
static uint8_t* encode_with_extras(KeyValueMap* members, const KeyValueMap* extras,
                                   size_t* out_size) {
    if (kv_map_for_each(extras, insert_into, members) != 0) return nullptr;
    return encode_tar(members, out_size);
}

static uint8_t* encode_inner(const StateDocument* doc, size_t* out_size) {
    size_t info_size = 0, parameters_size = 0;
    uint8_t* info = encode_map_file(doc->info, &info_size);
    uint8_t* parameters = encode_map_file(doc->parameters, &parameters_size);
    KeyValueMap* members = kv_map_create();
    uint8_t* inner = nullptr;
    if (info && parameters && members &&
        kv_map_insert(members, version_name, length_of(version_name), format_version,
                      format_version_length) == 0 &&
        kv_map_insert(members, info_name, length_of(info_name), info, info_size) == 0 &&
        kv_map_insert(members, parameters_name, length_of(parameters_name), parameters,
                      parameters_size) == 0)
        inner = encode_with_extras(members, doc->dsp_extras, out_size);
    kv_map_destroy(members);
    free(info);
    free(parameters);
    return inner;
}

uint8_t* state_document_write(const StateDocument* doc, size_t* out_size) {
    size_t inner_size = 0;
    uint8_t* inner = encode_inner(doc, &inner_size);
    if (!inner) return nullptr;
    KeyValueMap* members = kv_map_create();
    uint8_t* blob = nullptr;
    if (members &&
        kv_map_insert(members, inner_name, length_of(inner_name), inner, inner_size) == 0)
        blob = encode_with_extras(members, doc->outer_extras, out_size);
    kv_map_destroy(members);
    free(inner);
    return blob;
}

static bool is_white_space(uint8_t c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// "1.0" optionally followed by white space only.
static bool is_known_version(const uint8_t* text, uint64_t length) {
    if (length < format_version_length || memcmp(text, format_version, format_version_length))
        return false;
    for (uint64_t i = format_version_length; i < length; ++i)
        if (!is_white_space(text[i])) return false;
    return true;
}

static bool same_name(const uint8_t* name, uint64_t length, const char* expected) {
    return length == length_of(expected) && memcmp(name, expected, length) == 0;
}

static int32_t copy_inner_extra(const uint8_t* name, uint64_t name_length, const uint8_t* data,
                                uint64_t data_size, void* target) {
    if (same_name(name, name_length, version_name) || same_name(name, name_length, info_name) ||
        same_name(name, name_length, parameters_name))
        return 0;
    return kv_map_insert((KeyValueMap*)target, name, name_length, data, data_size);
}

static int32_t copy_outer_extra(const uint8_t* name, uint64_t name_length, const uint8_t* data,
                                uint64_t data_size, void* target) {
    if (same_name(name, name_length, inner_name)) return 0;
    return kv_map_insert((KeyValueMap*)target, name, name_length, data, data_size);
}

// Decodes the map file stored as member `name`; null with errno when missing or malformed.
static KeyValueMap* decode_member_map(const KeyValueMap* members, const char* name) {
    uint64_t size = 0;
    const uint8_t* bytes = kv_map_find(members, name, length_of(name), &size);
    if (!bytes) {
        errno = EINVAL;
        return nullptr;
    }
    return decode_map_file(bytes, size);
}

// Fills `doc` from the two decoded archives; 0, or the errno value of the first failure.
static int read_inner(StateDocument* doc, const KeyValueMap* outer, const KeyValueMap* inner) {
    uint64_t version_length = 0;
    const uint8_t* version =
        kv_map_find(inner, version_name, length_of(version_name), &version_length);
    if (!version || !is_known_version(version, version_length)) return EINVAL;
    if (!(doc->info = decode_member_map(inner, info_name))) return errno;
    if (!(doc->parameters = decode_member_map(inner, parameters_name))) return errno;
    doc->version = format_version;
    doc->dsp_extras = kv_map_create();
    doc->outer_extras = kv_map_create();
    if (!doc->dsp_extras || !doc->outer_extras ||
        kv_map_for_each(inner, copy_inner_extra, doc->dsp_extras) != 0 ||
        kv_map_for_each(outer, copy_outer_extra, doc->outer_extras) != 0)
        return ENOMEM;
    return 0;
}

int state_document_read(StateDocument* doc, const uint8_t* bytes, size_t size) {
    *doc = {nullptr, nullptr, nullptr, nullptr, nullptr};
    KeyValueMap* outer = decode_tar(bytes, size);
    if (!outer) return -1;
    uint64_t inner_size = 0;
    const uint8_t* inner_bytes = kv_map_find(outer, inner_name, length_of(inner_name), &inner_size);
    KeyValueMap* inner = inner_bytes ? decode_tar(inner_bytes, inner_size) : nullptr;
    int error = !inner_bytes ? EINVAL : !inner ? errno : read_inner(doc, outer, inner);
    kv_map_destroy(inner);
    kv_map_destroy(outer);
    if (error == 0) return 0;
    state_document_free(doc);
    errno = error;
    return -1;
}
