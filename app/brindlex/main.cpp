// brindlex: the desktop program. What it does is decided from its command line (see
// app/StartRequest.h and app/ProgramStart.h); this file only joins the parts.
#include <iostream>

#include "WindowStartHost.h"
#include "app/ProgramStart.h"

int main(int argc, char** argv) {
    const StartRequest request = ReadStartRequest(argc, argv);
    WindowStartHost host(argc, argv, request.mode);
    return ProgramStart(host, std::cout, std::cerr).Run(request);
}
