// the GNU C library's allocator thresholds; other C libraries keep their defaults
#include "core/allocator_tuning.h"

#include <cstdlib> // defines __GLIBC__ when the C library is GNU's

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace corvane {

void TuneAllocatorForArchiving() {
#if defined(__GLIBC__)
    constexpr int kKeptBytes = 4 << 20;
    mallopt(M_MMAP_THRESHOLD, kKeptBytes);
    mallopt(M_TRIM_THRESHOLD, kKeptBytes);
#endif
}

} // namespace corvane
