// SPDX-License-Identifier: MIT
// The index scan over any file.
#include "fuzz_report.h"
#include "helpdata/testing/engine_exerciser.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    korva::helpdata::testing::ReportProblems(korva::helpdata::testing::CheckIndexScan(bytes));
    return 0;
}
