// lumeshade-render [SCENE.json] [options]: relights images and image
// sequences with the Lumeshade module (docs/renderer.md).
#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "tools/command_line.h"
#include "tools/driver.h"

int main(int argc, char** argv) {
    int status = 0;
    auto options = lumeshade::tools::ParseCommandLine(argc, argv, std::cout, std::cerr, status);
    if (!options) return status;
    // The bar is for people watching a terminal, not for logs.
    options->progress = options->progress && ::isatty(::fileno(stderr)) == 1;
    return lumeshade::tools::Run(*options, std::cout, std::cerr);
}
