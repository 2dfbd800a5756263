#include <cstdio>

#include "cli/commands.hpp"

namespace cli {

int runPlay(const Args&) {
    std::fputs("cantorel-cli play: not built yet\n", stderr);
    return 1;
}

}  // namespace cli
