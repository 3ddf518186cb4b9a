// SPDX-License-Identifier: MIT
// The index scan, then the entry view of every indexed command and each of its see-also choices.
#include "fuzz_report.h"
#include "helpdata/testing/engine_exerciser.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    korva::helpdata::testing::ExerciseLimits limits;
    limits.entries = 128;
    limits.seeAlsoPerEntry = 16;
    korva::helpdata::testing::ReportProblems(korva::helpdata::testing::CheckEntryViews(bytes, limits));
    return 0;
}
