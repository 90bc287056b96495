#include "alloc_counter.h"

#include <stdlib.h>

#include <atomic>
#include <new>

// The linker sends every malloc/calloc/realloc of the program's own objects here
// (-Wl,--wrap=...), which works the same with glibc, mingw and the sanitizers' allocators.
extern "C" {
void* __real_malloc(size_t size);
void* __real_calloc(size_t count, size_t size);
void* __real_realloc(void* p, size_t size);
}

namespace {

std::atomic<bool> counting{false};
std::atomic<uint64_t> allocations{0};

void count_one() {
    if (counting.load(std::memory_order_relaxed))
        allocations.fetch_add(1, std::memory_order_relaxed);
}

// Aligned blocks keep the malloc pointer just below the aligned address, for delete to free.
void* aligned_block(size_t size, size_t align) {
    if (align < sizeof(void*)) align = sizeof(void*);
    char* raw = (char*)malloc(size + align + sizeof(void*));
    if (!raw) return nullptr;
    uintptr_t start = ((uintptr_t)(raw + sizeof(void*)) + align - 1) & ~(uintptr_t)(align - 1);
    ((void**)start)[-1] = raw;
    return (void*)start;
}

void free_aligned_block(void* p) {
    if (p) free(((void**)p)[-1]);
}

} // namespace

extern "C" {
void* __wrap_malloc(size_t size) {
    count_one();
    return __real_malloc(size);
}
void* __wrap_calloc(size_t count, size_t size) {
    count_one();
    return __real_calloc(count, size);
}
void* __wrap_realloc(void* p, size_t size) {
    count_one();
    return __real_realloc(p, size);
}
}

void alloc_counter_start() {
    allocations.store(0);
    counting.store(true);
}

uint64_t alloc_counter_stop() {
    counting.store(false);
    return allocations.load();
}

// operator new goes through malloc, so each new is counted once, by the wrapper.
void* operator new(size_t size) {
    void* p = malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    return p;
}
void* operator new[](size_t size) {
    return operator new(size);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    return malloc(size ? size : 1);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    return malloc(size ? size : 1);
}
void* operator new(size_t size, std::align_val_t align) {
    void* p = aligned_block(size, (size_t)align);
    if (!p) throw std::bad_alloc();
    return p;
}
void* operator new[](size_t size, std::align_val_t align) {
    return operator new(size, align);
}
void operator delete(void* p) noexcept {
    free(p);
}
void operator delete[](void* p) noexcept {
    free(p);
}
void operator delete(void* p, size_t) noexcept {
    free(p);
}
void operator delete[](void* p, size_t) noexcept {
    free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    free(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
    free_aligned_block(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
    free_aligned_block(p);
}
void operator delete(void* p, size_t, std::align_val_t) noexcept {
    free_aligned_block(p);
}
void operator delete[](void* p, size_t, std::align_val_t) noexcept {
    free_aligned_block(p);
}
