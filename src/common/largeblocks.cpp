#include "common/largeblocks.h"

#include <cstdlib> // defines __GLIBC__ where that is the C library

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {
constexpr int kLargeBlockBytes = 256 * 1024;
}

void mapLargeBlocksApart()
{
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, kLargeBlockBytes); // a fixed threshold: no longer raised by frees
#endif
}
