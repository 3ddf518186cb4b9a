// SPDX-License-Identifier: MIT
// The Windows API, for the files of this folder that call it: without the min and max macros, which would clash with
// the standard library's, and without what the program never uses.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
