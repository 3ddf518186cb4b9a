// SPDX-License-Identifier: MIT
// What every handler of the engine works on: the open data file, the shared read buffer and the window's controls.
#pragma once

#include "platform/platform.h"
#include "read_buffer.h"

namespace korva::helpdata {

struct HelpContext
{
    platform::HelpFile &file;
    ReadBuffer &buffer;
    platform::Window &window;
};

} // namespace korva::helpdata
