// Writes the fuzzers' seed corpora with the project's own encoders.
// Usage: make_seeds <folder>; creates <folder>/map_file, <folder>/tar and <folder>/state_blob.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include <string>

#include "state/state_document.h"
#include "state/tar.h"

static bool write_file(const std::string& path, const uint8_t* bytes, size_t size) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = fwrite(bytes, 1, size, f) == size;
    return fclose(f) == 0 && ok;
}

// Writes and frees one encoded seed; false when the encoder or the write failed.
static bool write_seed(const std::string& path, uint8_t* bytes, size_t size) {
    bool ok = bytes && write_file(path, bytes, size);
    free(bytes);
    return ok;
}

static uint8_t* saved(const char* format, float rate, float a, float b, float c, size_t* size) {
    const float values[3] = {a, b, c};
    return build_state_blob(format, rate, values, size);
}

// The inner archive of a blob, copied out of it.
static uint8_t* inner_of(const uint8_t* blob, size_t blob_size, size_t* size) {
    KeyValueMap* outer = decode_tar(blob, blob_size);
    uint64_t length = 0;
    const uint8_t* inner = outer ? kv_map_find(outer, "dsp.tar", 7, &length) : nullptr;
    uint8_t* copy = inner ? (uint8_t*)malloc(length) : nullptr;
    if (copy) memcpy(copy, inner, length);
    *size = length;
    kv_map_destroy(outer);
    return copy;
}

// The named member of an archive, copied out of it.
static uint8_t* member_of(const uint8_t* archive, size_t archive_size, const char* name,
                          size_t* size) {
    KeyValueMap* members = decode_tar(archive, archive_size);
    uint64_t length = 0;
    const uint8_t* bytes = members ? kv_map_find(members, name, strlen(name), &length) : nullptr;
    uint8_t* copy = bytes ? (uint8_t*)malloc(length ? length : 1) : nullptr;
    if (copy) memcpy(copy, bytes, length);
    *size = length;
    kv_map_destroy(members);
    return copy;
}

static uint8_t* blob_with_extras(size_t* size) {
    StateDocument doc;
    if (state_document_init(&doc) != 0) return nullptr;
    const float cutoff = 7.5f;
    kv_map_insert(doc.info, "id", 2, "tamber-velum", 12);
    kv_map_insert(doc.parameters, "cutoff", 6, &cutoff, 4);
    kv_map_insert(doc.dsp_extras, "notes.txt", 9, "a later version", 15);
    kv_map_insert(doc.outer_extras, "z.bin", 5, "", 0);
    uint8_t* blob = state_document_write(&doc, size);
    state_document_free(&doc);
    return blob;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const std::string root = argv[1];
    for (const char* sub : {"", "/map_file", "/tar", "/state_blob"})
        mkdir((root + sub).c_str(), 0755);

    size_t vst3_size = 0, lv2_size = 0, extras_size = 0, inner_size = 0, info_size = 0,
           parameters_size = 0;
    uint8_t* vst3 = saved("vst3", 48000, 15, 0, 7, &vst3_size);
    uint8_t* lv2 = saved("lv2", 44100, 3, 14, 9, &lv2_size);
    uint8_t* extras = blob_with_extras(&extras_size);
    uint8_t* inner = inner_of(vst3, vst3_size, &inner_size);
    uint8_t* info = member_of(inner, inner_size, "info.map", &info_size);
    uint8_t* parameters = member_of(inner, inner_size, "parameters.map", &parameters_size);
    // Every seed is written (and freed) even after a failure.
    int failures = !write_seed(root + "/map_file/info.map", info, info_size);
    failures += !write_seed(root + "/map_file/parameters.map", parameters, parameters_size);
    failures += !write_seed(root + "/tar/dsp.tar", inner, inner_size);
    failures += !write_seed(root + "/state_blob/vst3", vst3, vst3_size);
    failures += !write_seed(root + "/state_blob/lv2", lv2, lv2_size);
    failures += !write_seed(root + "/state_blob/extras", extras, extras_size);
    if (failures) {
        fprintf(stderr, "make_seeds: could not write the seeds into %s\n", root.c_str());
        return 1;
    }
    return 0;
}
