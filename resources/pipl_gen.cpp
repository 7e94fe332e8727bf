// Build step: writes the PiPL bytes and the resource script that embeds them.
//   lumeshade_pipl_gen OUT.pipl OUT.rc
#include <cstdio>
#include <fstream>

#include "resources/pipl_builder.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s OUT.pipl OUT.rc\n", argv[0]);
        return 2;
    }
    const auto bytes = lumeshade::pipl::BuildPiplBytes();
    std::ofstream pipl(argv[1], std::ios::binary);
    pipl.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    std::ofstream rc(argv[2]);
    rc << lumeshade::pipl::BuildResourceScript(bytes);
    if (!pipl || !rc) {
        std::fprintf(stderr, "%s: cannot write %s or %s\n", argv[0], argv[1], argv[2]);
        return 1;
    }
    return 0;
}
