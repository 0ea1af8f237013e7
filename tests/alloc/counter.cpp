// Replaces the global operator new and delete, and malloc and its kin, to count the heap use
// of the thread that asked. Everything forwards to the C library's own allocator, so memory
// from either side is freed by the other as usual. The game's bitmap creations reach the
// __wrap_ functions through the linker's --wrap.
#include "tests/alloc/counter.h"

#include <allegro.h>

#include <cstddef>
#include <new>

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* p, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* p);
BITMAP* __real_create_bitmap(int w, int h);
BITMAP* __real_create_bitmap_ex(int depth, int w, int h);
}

namespace {

// Initial-exec TLS of the executable: reading it never allocates, so malloc may use it.
thread_local bool Counting = false;
thread_local AllocTest::Allocations Counts;

void* NewBlock(size_t size, size_t alignment = 0) {
    if (Counting)
        ++Counts.News;
    if (size == 0)
        size = 1;
    void* p = alignment ? __libc_memalign(alignment, size) : __libc_malloc(size);
    if (!p)
        throw std::bad_alloc();
    return p;
}

void CountMalloc(int live) {
    if (Counting) {
        ++Counts.Mallocs;
        Counts.LiveMallocs += live;
    }
}

}  // namespace

void* operator new(size_t size) { return NewBlock(size); }
void* operator new[](size_t size) { return NewBlock(size); }
void* operator new(size_t size, std::align_val_t a) {
    return NewBlock(size, static_cast<size_t>(a));
}
void* operator new[](size_t size, std::align_val_t a) {
    return NewBlock(size, static_cast<size_t>(a));
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    try {
        return NewBlock(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* p) noexcept { __libc_free(p); }
void operator delete[](void* p) noexcept { __libc_free(p); }
void operator delete(void* p, size_t) noexcept { __libc_free(p); }
void operator delete[](void* p, size_t) noexcept { __libc_free(p); }
void operator delete(void* p, std::align_val_t) noexcept { __libc_free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { __libc_free(p); }
void operator delete(void* p, size_t, std::align_val_t) noexcept { __libc_free(p); }
void operator delete[](void* p, size_t, std::align_val_t) noexcept { __libc_free(p); }

// Defined in the executable, these take the place of the C library's for every shared library
// too, the graphics library included.
extern "C" {
void* malloc(size_t size) {
    CountMalloc(1);
    return __libc_malloc(size);
}
void* calloc(size_t count, size_t size) {
    CountMalloc(1);
    return __libc_calloc(count, size);
}
void* realloc(void* p, size_t size) {
    CountMalloc(!p ? 1 : size == 0 ? -1 : 0);
    return __libc_realloc(p, size);
}
void free(void* p) {
    if (Counting && p)
        --Counts.LiveMallocs;
    __libc_free(p);
}

BITMAP* __wrap_create_bitmap(int w, int h) {
    if (Counting)
        ++Counts.Bitmaps;
    return __real_create_bitmap(w, h);
}
BITMAP* __wrap_create_bitmap_ex(int depth, int w, int h) {
    if (Counting)
        ++Counts.Bitmaps;
    return __real_create_bitmap_ex(depth, w, h);
}
}

namespace AllocTest {

AllocationCounter::AllocationCounter() {
    Counts = Allocations();
    Counting = true;
}

AllocationCounter::~AllocationCounter() { Counting = false; }

Allocations AllocationCounter::Stop() {
    Counting = false;
    return Counts;
}

}  // namespace AllocTest
