// lumeshade-render [SCENE.json] [options]: relights images and image
// sequences with the Lumeshade module (docs/renderer.md).
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "tools/command_line.h"
#include "tools/driver.h"
#include "tools/live_server.h"

int main(int argc, char** argv) {
    // Every frame makes and frees pictures of megabytes (the host's copies of
    // the layers it checks out). Left to itself the C library would soon keep
    // such blocks in its heap, where their fragments add up to a tenth more
    // than a frame needs; mapped and unmapped each time, they never do.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
    int status = 0;
    auto options = lumeshade::tools::ParseCommandLine(argc, argv, std::cout, std::cerr, status);
    if (!options) return status;
    // The bar is for people watching a terminal, not for logs.
    options->progress = options->progress && ::isatty(::fileno(stderr)) == 1;
    if (options->serve) return lumeshade::tools::Serve(*options, std::cout, std::cerr);
    return lumeshade::tools::Run(*options, std::cout, std::cerr);
}
