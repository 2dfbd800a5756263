#include <cstdio>

#include "cli/commands.hpp"

namespace cli {

int runParse(const Args&) {
    std::fputs("cantorel-cli parse: not built yet\n", stderr);
    return 1;
}

}  // namespace cli
