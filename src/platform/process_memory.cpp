// SPDX-License-Identifier: MIT
#include "process_memory.h"

#if defined(__linux__) && defined(__GLIBC__)
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace korva::platform {

#if defined(__linux__) && defined(__GLIBC__)

namespace {

// The most the heap is grown by.
constexpr std::size_t kMostBytes = std::size_t{64} * 1024 * 1024;

// The allocator's settings as they were: its defaults.
void AsBefore()
{
    constexpr int kDefault = 128 * 1024;
    mallopt(M_TOP_PAD, kDefault);
    mallopt(M_TRIM_THRESHOLD, kDefault);
    mallopt(M_MMAP_THRESHOLD, kDefault);
}

} // namespace

bool HeapInLargePages(std::size_t bytes)
{
    constexpr std::uintptr_t kLargePage = std::uintptr_t{2} * 1024 * 1024;
    const std::size_t pad = std::min(bytes, kMostBytes);
    if (pad < kLargePage) {
        return false;
    }
    // The allocations this is for come from the heap and stay there: none of them is mapped on its own (and given back
    // when freed) for its size, and the heap is never trimmed (-1); it grows by `pad` more than asked, at once.
    // (The allocator takes no threshold above 32 MiB: a larger allocation is still mapped on its own.)
    constexpr std::size_t kMostMappingThreshold = std::size_t{32} * 1024 * 1024;
    if (mallopt(M_MMAP_THRESHOLD, static_cast<int>(std::min(pad, kMostMappingThreshold))) == 0 ||
        mallopt(M_TRIM_THRESHOLD, -1) == 0 || mallopt(M_TOP_PAD, static_cast<int>(pad)) == 0) {
        AsBefore();
        return false;
    }
    // An allocation a page larger than the heap's free end grows the heap by the pad (a heap that cannot grow, or an
    // allocator of another kind, leaves the break where it was). The allocator writes where it ends, which is why it
    // is no larger: a large page is only taken on the first touch of a range of which nothing is in use yet, so none of
    // what it grew by is touched before the large pages whole within it are advised. Freed, the allocation leaves the
    // free end where it began; what stands from there to the first large page is then taken, and kept, by an
    // allocation never written, so that the allocations to come start on a large page.
    constexpr std::uintptr_t kPage = 4096;
    const auto before = reinterpret_cast<std::uintptr_t>(sbrk(0));
    const std::size_t freeEndBytes = mallinfo2().keepcost;
    void *volatile grow = std::malloc(freeEndBytes + kPage); // volatile: not an allocation to leave out
    const auto freeEnd = reinterpret_cast<std::uintptr_t>(grow);
    const auto after = reinterpret_cast<std::uintptr_t>(sbrk(0));
    const std::uintptr_t from = (freeEnd + freeEndBytes + 2 * kPage + kLargePage - 1) & ~(kLargePage - 1);
    const std::uintptr_t to = after & ~(kLargePage - 1);
    // An address the kernel is told of, never one this code reads or writes.
    void *const start = reinterpret_cast<void *>(from); // NOLINT(performance-no-int-to-ptr)
    const bool advised = freeEnd != 0 && freeEnd < before && to > from && madvise(start, to - from, MADV_HUGEPAGE) == 0;
    std::free(grow);
    if (!advised) {
        AsBefore(); // a heap that could not grow would otherwise ask for the pad at each allocation it maps instead
        return false;
    }
    // Room for the allocator's own words before and after a block. The block is kept for the life of the process.
    constexpr std::uintptr_t kBookkeeping = 4 * sizeof(std::size_t);
    static void *const head = std::malloc(from - freeEnd - kBookkeeping);
    return head != nullptr;
}

#else

bool HeapInLargePages(std::size_t)
{
    return false;
}

#endif

} // namespace korva::platform
