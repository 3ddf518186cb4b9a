// SPDX-License-Identifier: MIT
// How a short run of the program takes its memory.
#pragma once

#include <cstddef>

namespace korva::platform {

// Asks that the next `bytes` of heap (64 MiB at most) the calling thread allocates be backed by large pages where the
// system offers them (Linux with glibc: the heap grown by that much at once, and the kernel advised to back it with
// transparent huge pages); elsewhere, or when the system declines, nothing changes. For a process that fills many
// megabytes within a few tens of milliseconds and then ends: each first touch of a 4 KB page is a fault of its own,
// which costs up to ten microseconds on some virtual machines, and a large page takes five hundred of them at once.
// What it allocates afterwards stays in the heap until the process ends, rather than going back to the system when
// freed. Call it once, before the allocations it is for. Yields whether the advice was taken.
bool HeapInLargePages(std::size_t bytes);

} // namespace korva::platform
