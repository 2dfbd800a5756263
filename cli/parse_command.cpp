// cantorel-cli parse: loads a lyric file exactly as choosing it in the file list does and prints
// the lyric list, as text rows or as JSON lines, or measures the reader on it.
#include <time.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/arguments.hpp"
#include "cli/commands.hpp"
#include "cli/console.hpp"
#include "delivery/app_state.hpp"
#include "lyrics/lrc_reader.hpp"
#include "lyrics/lyric_decoding.hpp"
#include "lyrics/lyric_files.hpp"
#include "platform/files.hpp"
#include "text/codepage.hpp"
#include "ui/main_units.hpp"
#include "ui/memory_units.hpp"

namespace cli {
namespace {

struct ParseOptions {
    std::string file;
    std::optional<std::string> fill;
    bool json = false;
    int benchRuns = 0;
};

void fail(const std::string& message) { say(stderr, "cantorel-cli parse: %s\n", message.c_str()); }

std::optional<ParseOptions> readOptions(const Args& args) {
    ParseOptions options;
    bool haveFile = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--json") {
            options.json = true;
        } else if (arg == "--fill" || arg == "--bench") {
            if (!hasValue) {
                fail(arg + " needs a value");
                return std::nullopt;
            }
            const std::string& value = args[++i];
            if (arg == "--fill") {
                options.fill = value;
                continue;
            }
            const char* end = value.data() + value.size();
            const auto [ptr, ec] = std::from_chars(value.data(), end, options.benchRuns);
            if (ec != std::errc() || ptr != end || options.benchRuns <= 0) {
                fail("--bench needs a positive whole number, not '" + value + "'");
                return std::nullopt;
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            fail("unknown option '" + arg + "'");
            return std::nullopt;
        } else if (haveFile) {
            fail("only one FILE, got '" + options.file + "' and '" + arg + "'");
            return std::nullopt;
        } else {
            options.file = arg;
            haveFile = true;
        }
    }
    if (!haveFile) {
        fail("missing FILE (usage: parse FILE [--fill TEXT] [--json] [--bench N])");
        return std::nullopt;
    }
    return options;
}

// Nothing plays in this command, so choosing a file always loads it.
class IdlePlayback : public PlaybackSeam {
  public:
    bool pauseIfPlaying() override { return false; }
    void resetPosition() override {}
};

// <chrono> cannot be used here: its C++20 unit suffix "\u00b5s" has no GBK form and narrow
// literals are compiled to GBK. clock_gettime exists on Linux and in mingw's winpthreads.
double monotonicMicros() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

int bench(const GbkText& path, int runs) {
    const GbkText text = decodeLyricBytes(files::readAll(path).value_or(std::string())).text;
    std::vector<double> micros;
    micros.reserve(static_cast<std::size_t>(runs));
    LyricTable table;
    for (int i = 0; i < runs; ++i) {
        const double start = monotonicMicros();
        LrcReader::parse(text, table);
        micros.push_back(monotonicMicros() - start);
    }
    const auto middle = micros.begin() + static_cast<std::ptrdiff_t>(micros.size() / 2);
    std::nth_element(micros.begin(), middle, micros.end());
    say(stdout, "median_us=%.1f\n", *middle);
    return 0;
}

}  // namespace

int runParse(const Args& args) {
    const std::optional<ParseOptions> options = readOptions(args);
    if (!options) return 1;

    // The program loads a missing file as an empty lyric; here that is almost surely a typo.
    const GbkText path = argumentText(options->file);
    if (!files::exists(path) || !files::readAll(path)) {
        fail("cannot read '" + options->file + "'");
        return 1;
    }
    if (options->benchRuns > 0) return bench(path, options->benchRuns);

    MemoryUnits memory;
    MainUnits units(memory);
    AppState state;
    IdlePlayback playback;
    ConsoleMessageBoxes boxes;
    LyricFiles lyricFiles(units, state.lyrics, boxes, playback);
    if (options->fill) units.填充.setText(argumentText(*options->fill));

    chooseFile(units, path);
    lyricFiles.loadSelectedFile();
    if (boxes.shown()) return 1;

    const ListView& list = units.超级列表框_歌词;
    const LyricTable& table = state.lyrics;
    if (options->json) {
        say(stdout,
            "{\"title\":%s,\"artist\":%s,\"album\":%s,\"author\":%s,\"offset\":%lld,"
            "\"count\":%d}\n",
            jsonString(table.title).c_str(), jsonString(table.artist).c_str(),
            jsonString(table.album).c_str(), jsonString(table.author).c_str(),
            static_cast<long long>(table.offset), list.rowCount());
    }
    for (int row = 0; row < list.rowCount(); ++row) {
        if (options->json) {
            say(stdout, "{\"time_ms\":%s,\"text\":%s}\n", list.cell(row, 0).c_str(),
                jsonString(list.cell(row, 1)).c_str());
        } else {
            say(stdout, "%s\t%s\n", list.cell(row, 0).c_str(),
                printable(list.cell(row, 1)).c_str());
        }
    }
    return 0;
}

}  // namespace cli
