// SPDX-License-Identifier: MIT
#include "platform/process_memory.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#if defined(__linux__)
#include <sys/resource.h>
#endif

#include <gtest/gtest.h>

namespace korva::platform {
namespace {

// True when the mapping that holds `address` is advised to take large pages ("hg" among its flags).
bool AdvisedForLargePages(const void *address)
{
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    std::ifstream smaps("/proc/self/smaps");
    bool inside = false;
    for (std::string line; std::getline(smaps, line);) {
        std::uintptr_t start = 0;
        std::uintptr_t end = 0;
        char dash = 0;
        std::istringstream range(line);
        if (range >> std::hex >> start >> dash >> end && dash == '-') {
            inside = at >= start && at < end;
        } else if (inside && line.starts_with("VmFlags:")) {
            return (line + " ").find(" hg ") != std::string::npos;
        }
    }
    return false;
}

// The exit status of a process that asks for large pages for `bytes`: 0 when the advice was taken where large pages
// are offered (and only there), and the blocks allocated afterwards, large enough to come from no block freed before,
// stand in memory advised as it was taken; small blocks as well as large hold what is written to them.
int ExitAfterAsking(std::size_t bytes, bool expectTaken)
{
    const bool taken = HeapInLargePages(bytes);
    bool advised = true;
    bool kept = true;
    for (const std::size_t size : {std::size_t{16}, std::size_t{1000}, std::size_t{1} << 20, std::size_t{3} << 20}) {
        const auto block = std::make_unique<unsigned char[]>(size);
        std::memset(block.get(), 0xA5, size);
        kept = kept && block[0] == 0xA5 && block[size - 1] == 0xA5;
        if (size >= std::size_t{1} << 20) {
            advised = advised && AdvisedForLargePages(block.get()) == taken;
        }
    }
    return taken == expectTaken && advised && kept ? 0 : 1;
}

#if defined(__linux__)
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kOwnAllocator = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kOwnAllocator = true;
#else
constexpr bool kOwnAllocator = false;
#endif
#else
constexpr bool kOwnAllocator = false;
#endif

// Where large pages may be asked for: Linux with glibc's allocator, and a kernel that has them.
bool LargePagesOffered()
{
#if defined(__GLIBC__)
    return !kOwnAllocator && std::ifstream("/sys/kernel/mm/transparent_hugepage/enabled").good();
#else
    return false;
#endif
}

// Each case in a process of its own: the advice holds for the rest of the process.
TEST(HeapInLargePagesDeathTest, AllocationsAfterItStandInMemoryAdvisedForLargePagesWhereOffered)
{
    EXPECT_EXIT(std::exit(ExitAfterAsking(std::size_t{8} << 20, LargePagesOffered())), ::testing::ExitedWithCode(0),
                "");
}

TEST(HeapInLargePagesDeathTest, LessThanALargePageIsNotAsked)
{
    EXPECT_EXIT(std::exit(ExitAfterAsking(std::size_t{1} << 20, false)), ::testing::ExitedWithCode(0), "");
}

// The exit status of a process whose data may grow by 8 MiB more, which asks for 32 MiB: 0 when the advice is not
// taken and allocating goes on as before it, a megabyte at a time, rather than asking for 32 MiB more each time.
int ExitAfterAskingTooMuch()
{
    std::ifstream status("/proc/self/status");
    std::size_t dataKiB = 0;
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("VmData:")) {
            dataKiB = std::stoul(line.substr(7));
        }
    }
    const rlim_t bytes = (dataKiB + std::size_t{8} * 1024) * 1024;
    const rlimit limit{bytes, bytes};
    if (dataKiB == 0 || setrlimit(RLIMIT_DATA, &limit) != 0 || HeapInLargePages(std::size_t{32} << 20)) {
        return 1;
    }
    std::vector<std::unique_ptr<unsigned char[]>> blocks;
    for (int i = 0; i < 4; ++i) {
        blocks.push_back(std::unique_ptr<unsigned char[]>(new (std::nothrow) unsigned char[std::size_t{1} << 20]));
        if (blocks.back() == nullptr) {
            return 1;
        }
    }
    return 0;
}

TEST(HeapInLargePagesDeathTest, AHeapThatCannotGrowIsLeftAsItWas)
{
    if (!LargePagesOffered()) {
        GTEST_SKIP() << "the allocator is not the system's";
    }
    EXPECT_EXIT(std::exit(ExitAfterAskingTooMuch()), ::testing::ExitedWithCode(0), "");
}
#else
TEST(HeapInLargePages, IsNeverTakenWhereTheSystemHasNoSuchAdvice)
{
    EXPECT_EQ(ExitAfterAsking(std::size_t{8} << 20, false), 0);
}
#endif

} // namespace
} // namespace korva::platform
