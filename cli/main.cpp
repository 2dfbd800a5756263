// cantorel-cli: the Cantorel core without a window. Parses lyrics exactly as the program does
// and plays them in real time to the console, and searches and downloads lyrics.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/commands.hpp"
#include "cli/console.hpp"
#include "platform/console.hpp"

namespace {

using cli::put;
using cli::say;

// The usage text is ASCII, so it reads the same in any console code page.
void usage(FILE* out) {
    put("usage: cantorel-cli COMMAND [options]\n"
        "       cantorel-cli --version\n"
        "\n"
        "commands:\n"
        "  parse FILE [--fill TEXT] [--json] [--bench N]\n"
        "      load a lyric file as the program does and print its lyric list\n"
        "  play FILE [--mode public|card] [--dry-run] [--fill TEXT] [--filter]\n"
        "       [--filter-words FILE] [--reverse | --alternate]\n"
        "       [--prefix-suffix --prefixes FILE --suffixes FILE] [--seed N]\n"
        "      play a lyric in real time, printing each delivered line\n"
        "  search TEXT [--source netease|qq|lrclib|site|all] [--artist NAME]\n"
        "       [--duration SECONDS] [--netease URL] [--qq URL] [--lrclib URL]\n"
        "       [--site HOST_OR_URL] [--json]\n"
        "      search the lyric sources (all at once by default), one ranked hit a line\n"
        "      (song TAB artist TAB source)\n"
        "  download TEXT --pick N [--dir DIR] [--overwrite] [--source ...] [--artist ...]\n"
        "       [--duration ...] [--netease ...] [--qq ...] [--site ...] [--lrclib ...]\n"
        "      save the lyric of hit N (from 1) into DIR and print its path; a different\n"
        "      lyric of the same name is kept and the new one saved as \"NAME (2).lrc\"\n"
        "      unless --overwrite is given\n"
        "  follow --timeline FILE [--lyrics DIR] [--mode public|card] [--dry-run]\n"
        "         [--pin PLAYER] [--offset MS]\n"
        "      replay recorded media sessions and print what following them types when\n"
        "  sessions [--once] [--seconds N]\n"
        "      print the system's media sessions (Windows 10 and later) as JSON lines\n"
        "\n"
        "search and download exit with 2 when no source can be reached or gives anything\n"
        "usable, 1 on bad arguments.\n",
        out);
}

}  // namespace

int main(int argc, char** argv) {
    // UTF-8 whatever the console's code page (on Windows read from the UTF-16 command line).
    const std::vector<std::string> all = console::arguments(argc, argv);
    if (all.empty()) {
        usage(stderr);
        return 1;
    }
    const std::string command = all[0];
    const cli::Args args(all.begin() + 1, all.end());
    if (command == "parse") return cli::runParse(args);
    if (command == "play") return cli::runPlay(args);
    if (command == "search") return cli::runSearch(args);
    if (command == "download") return cli::runDownload(args);
    if (command == "follow") return cli::runFollow(args);
    if (command == "sessions") return cli::runSessions(args);
    if (command == "--version") {
        say(stdout, "%s\n", "Cantorel " CANTOREL_VERSION);
        return 0;
    }
    if (command == "--help" || command == "-h" || command == "help") {
        usage(stdout);
        return 0;
    }
    say(stderr, "cantorel-cli: unknown command '%s'\n", command.c_str());
    usage(stderr);
    return 1;
}
