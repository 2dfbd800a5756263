// cantorel-cli play: plays a lyric through the program's own engine, transforms and delivery
// sequences, with a console stand-in for the chat client that prints each line it receives.
#include <charconv>
#include <cstdio>
#include <optional>
#include <random>
#include <string>

#include "audio/wav_reader.hpp"
#include "cli/arguments.hpp"
#include "cli/commands.hpp"
#include "cli/console.hpp"
#include "cli/console_client.hpp"
#include "cli/wav_listener.hpp"
#include "delivery/app_state.hpp"
#include "delivery/delivery.hpp"
#include "lyrics/lyric_files.hpp"
#include "platform/files.hpp"
#include "platform/playback_loop.hpp"
#include "playback/audio_arming.hpp"
#include "playback/line_transform.hpp"
#include "playback/playback_engine.hpp"
#include "text/codepage.hpp"
#include "ui/main_units.hpp"

namespace cli {

namespace {

struct PlayOptions {
    std::string file;
    bool card = false;
    bool dryRun = false;
    std::optional<std::string> fill;
    bool filter = false;
    std::optional<std::string> filterWords;
    bool reverse = false;
    bool alternate = false;
    bool prefixSuffix = false;
    std::optional<std::string> prefixes;
    std::optional<std::string> suffixes;
    std::optional<std::uint32_t> seed;
    LyricShape shape;
    int nudgeMs = 0;
    std::optional<std::string> waitForAudio;  // a WAV standing in for the computer's sound
};

void playUsage() {
    put("usage: cantorel-cli play FILE [--mode public|card] [--dry-run] [--fill TEXT] [--filter]\n"
        "       [--filter-words FILE] [--reverse | --alternate]\n"
        "       [--prefix-suffix --prefixes FILE --suffixes FILE] [--seed N]\n"
        "       [--bilingual lines|original|translation|joined] [--apply-offset] [--nudge MS]\n"
        "       [--wait-for-audio WAV]\n",
        stderr);
}

std::optional<PlayOptions> parseOptions(const Args& args) {
    PlayOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= args.size()) {
                say(stderr, "cantorel-cli play: %s needs a value\n", a.c_str());
                return std::nullopt;
            }
            return args[++i];
        };
        if (a == "--mode") {
            auto v = value();
            if (!v || (*v != "public" && *v != "card")) {
                put("cantorel-cli play: --mode is public or card\n", stderr);
                return std::nullopt;
            }
            o.card = *v == "card";
        } else if (a == "--dry-run") {
            o.dryRun = true;
        } else if (a == "--fill") {
            if (!(o.fill = value())) return std::nullopt;
        } else if (a == "--filter") {
            o.filter = true;
        } else if (a == "--filter-words") {
            if (!(o.filterWords = value())) return std::nullopt;
            o.filter = true;
        } else if (a == "--reverse") {
            o.reverse = true;
        } else if (a == "--alternate") {
            o.alternate = true;
        } else if (a == "--prefix-suffix") {
            o.prefixSuffix = true;
        } else if (a == "--prefixes") {
            if (!(o.prefixes = value())) return std::nullopt;
        } else if (a == "--suffixes") {
            if (!(o.suffixes = value())) return std::nullopt;
        } else if (a == "--seed") {
            auto v = value();
            if (!v) return std::nullopt;
            // Whole digits only: a signed or half-numeric seed would silently play another mix.
            std::uint32_t seed = 0;
            const char* end = v->data() + v->size();
            const auto [ptr, ec] = std::from_chars(v->data(), end, seed);
            if (v->empty() || ec != std::errc() || ptr != end) {
                say(stderr, "cantorel-cli play: bad seed '%s'\n", v->c_str());
                return std::nullopt;
            }
            o.seed = seed;
        } else if (a == "--bilingual") {
            auto v = value();
            if (!v) return std::nullopt;
            const auto mode = bilingualFromName(*v);
            if (!mode) {
                put("cantorel-cli play: --bilingual is lines, original, translation or joined\n",
                    stderr);
                return std::nullopt;
            }
            o.shape.bilingual = *mode;
        } else if (a == "--apply-offset") {
            o.shape.applyOffset = true;
        } else if (a == "--nudge") {
            auto v = value();
            if (!v) return std::nullopt;
            // Milliseconds, negative for earlier; a nudge beyond a day is a typing slip.
            int ms = 0;
            const char* end = v->data() + v->size();
            const auto [ptr, ec] = std::from_chars(v->data(), end, ms);
            if (v->empty() || ec != std::errc() || ptr != end || ms < -86400000 || ms > 86400000) {
                say(stderr, "cantorel-cli play: bad nudge '%s'\n", v->c_str());
                return std::nullopt;
            }
            o.nudgeMs = ms;
        } else if (a == "--wait-for-audio") {
            if (!(o.waitForAudio = value())) return std::nullopt;
        } else if (!a.empty() && a[0] == '-') {
            say(stderr, "cantorel-cli play: unknown option '%s'\n", a.c_str());
            return std::nullopt;
        } else if (o.file.empty()) {
            o.file = a;
        } else {
            put("cantorel-cli play: one lyric file only\n", stderr);
            return std::nullopt;
        }
    }
    if (o.file.empty()) {
        playUsage();
        return std::nullopt;
    }
    if (o.reverse && o.alternate) {
        put("cantorel-cli play: --reverse and --alternate exclude each other\n", stderr);
        return std::nullopt;
    }
    return o;
}

/// The items of a UTF-8 list file, one a line, in GBK; nullopt when it cannot be read.
std::optional<std::vector<GbkText> > readItems(const std::string& path) {
    const auto bytes = files::readAll(argumentText(path));
    if (!bytes) {
        say(stderr, "cantorel-cli play: cannot read %s\n", path.c_str());
        return std::nullopt;
    }
    std::string_view text = *bytes;
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    std::vector<GbkText> items;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r')) line.remove_suffix(1);
        items.push_back(codepage::utf8ToGbk(line));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return items;
}

}  // namespace

int runPlay(const Args& args) {
    const auto options = parseOptions(args);
    if (!options) return 1;

    std::optional<MonoSound> sound;
    if (options->waitForAudio) {
        const auto bytes = files::readAll(argumentText(*options->waitForAudio));
        if (!bytes) {
            say(stderr, "cantorel-cli play: cannot read %s\n", options->waitForAudio->c_str());
            return 1;
        }
        WavResult wav = readWav(*bytes);
        if (!wav.sound) {
            say(stderr, "cantorel-cli play: %s: %s\n", options->waitForAudio->c_str(),
                wav.error.c_str());
            return 1;
        }
        sound = std::move(wav.sound);
    }

    const auto loop = makePlaybackLoop(options->dryRun);
    Clock& time = loop->clock();
    MainUnits units(loop->units());
    AppState state;
    ConsoleMessageBoxes boxes;

    std::int64_t startMicros = 0;  // set when playback starts
    int delivered = 0;
    ConsoleClient client(time, [&](const ClientLine& line) {
        say(stdout, "%s %s\n", elapsedStamp(line.startMicros - startMicros).c_str(),
            printable(line.text).c_str());
        std::fflush(stdout);
        ++delivered;
    });
    state.targetWindow = ConsoleClient::kMainWindow;

    // Options as the settings panel would hold them.
    if (options->fill) units.填充.setText(argumentText(*options->fill));
    units.是否开启广告过滤模式.setChecked(options->filter);
    if (options->filterWords) {
        const auto words = readItems(*options->filterWords);
        if (!words) return 1;
        GbkText content;
        for (std::size_t i = 0; i < words->size(); ++i) content += (i ? "\r\n" : "") + (*words)[i];
        units.过滤.setText(content);
    }
    units.开启倒序模式.setChecked(options->reverse);
    units.开启正反序模式.setChecked(options->alternate);
    units.开启前后缀模式.setChecked(options->prefixSuffix);
    for (auto [file, box] :
         {std::pair{&options->prefixes, &units.前缀}, std::pair{&options->suffixes, &units.后缀}}) {
        if (!*file) continue;
        const auto items = readItems(**file);
        if (!items) return 1;
        for (const GbkText& item : *items) box->addItem(item);
    }

    // Without --seed every run mixes the prefixes and suffixes differently.
    const std::uint32_t seed = options->seed.value_or(std::random_device{}());
    LineTransform transform(units, seed);
    Delivery delivery(client, loop->pumpingWait(), boxes, state, units);
    PlaybackEngine engine(units, state, boxes, time, transform, delivery);
    engine.setStartNudge(options->nudgeMs);
    LyricFiles lyricFiles(units, state.lyrics, boxes, engine, options->shape);

    // Load exactly as choosing the file in the file list does.
    const GbkText path = argumentText(options->file);
    chooseFile(units, path);
    if (!files::exists(path)) {
        say(stderr, "cantorel-cli play: cannot read %s\n", options->file.c_str());
        return 1;
    }
    lyricFiles.loadSelectedFile();
    if (state.lyrics.count() == 0) {
        say(stderr, "cantorel-cli play: no timed lines in %s\n", options->file.c_str());
        return 1;
    }

    (options->card ? units.昵称字幕 : units.公屏字幕).setChecked(true);
    delivery.onModeButtonClicked(options->card ? DeliveryMode::NicknameCard
                                               : DeliveryMode::PublicScreen);

    startMicros = time.nowMicros();
    if (sound) {
        // The sound starts playing as the start is armed; stamps count from its beginning.
        WavListener listener(*sound, time, loop->pumpingWait(), !options->dryRun);
        AudioArming arming(engine, listener, units, [] { return true; });
        engine.startStop();
        if (!listener.heard()) {
            say(stderr, "cantorel-cli play: %s\n",
                codepage::gbkToUtf8(units.状态条1.part(StatusBar::kMessage)).c_str());
            return 1;
        }
        say(stderr, "cantorel-cli play: %s\n",
            codepage::gbkToUtf8(units.状态条1.part(StatusBar::kMessage)).c_str());
    } else {
        engine.startStop();
    }
    if (!loop->run()) {
        if (engine.playing()) engine.startStop();
        say(stderr, "cantorel-cli play: stopped after %d of %d lines\n", delivered,
            state.lyrics.count());
        return 130;
    }
    return 0;
}

}  // namespace cli
