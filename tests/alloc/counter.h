#ifndef HALTWICK_TESTS_ALLOC_COUNTER_H
#define HALTWICK_TESTS_ALLOC_COUNTER_H

namespace AllocTest {

// Heap use of one thread. The game's own allocations are its C++ objects (operator new) and
// its bitmaps; the graphics library, which is C, also mallocs and frees inside some calls
// (it formats textprintf's text in heap blocks), which the game cannot avoid but must not
// make it keep.
struct Allocations {
    long News = 0;         // operator new and new[]
    long Bitmaps = 0;      // create_bitmap and create_bitmap_ex called from the game's code
    long Mallocs = 0;      // malloc, calloc and realloc from anywhere, the library included
    long LiveMallocs = 0;  // blocks malloc'd minus blocks freed
};

// Counts the heap use of the constructing thread until Stop. Other threads (the library's
// timer and input threads) are not counted. One at a time per thread.
class AllocationCounter {
public:
    AllocationCounter();
    ~AllocationCounter();
    AllocationCounter(const AllocationCounter&) = delete;
    AllocationCounter& operator=(const AllocationCounter&) = delete;

    Allocations Stop();
};

}  // namespace AllocTest

#endif
