#include "common/largeblocks.h"

#include <cstdlib> // defines __GLIBC__ where that is the C library

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {
constexpr int kLargeBlockBytes = 256 * 1024;
// Free room at the heap's top kept rather than given back: the sockets' read buffers (below the
// large-block size) are freed and taken again read after read, and giving the top back each time
// made the next one fault fresh zeroed pages in.
constexpr int kKeptHeapTopBytes = 1024 * 1024;
} // namespace

void mapLargeBlocksApart()
{
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, kLargeBlockBytes); // a fixed threshold: no longer raised by frees
    mallopt(M_TRIM_THRESHOLD, kKeptHeapTopBytes);
#endif
}
