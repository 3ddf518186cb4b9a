// SPDX-License-Identifier: MIT
#include "platform/system_help_file.h"
#include "reference_app.h"

int main(int argc, char **argv)
{
    korva::app::CReferenceApp app(argc, argv, korva::platform::ProgramPath(argc > 0 ? argv[0] : ""));
    app.InitInstance();
    return 0;
}
