// Parsing time of generated lyrics of 1,000, 10,000 and 100,000 lines. Growth must stay
// linear: 100,000 lines may take at most 12 times as long as 10,000.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "lyrics/lrc_reader.hpp"

namespace {

// A lyric as saving programs write it: headers, CR LF lines, Chinese text, an empty line now
// and then, and every tenth line sung twice (two tags).
GbkText generateLyric(int lineCount) {
    GbkText text = "[ti:星光]\r\n[ar:练习]\r\n[al:测试]\r\n[by:cantorel]\r\n[offset:0]\r\n";
    char tag[32];
    for (int i = 0; i < lineCount; ++i) {
        const int ms = i * 2370;
        std::snprintf(tag, sizeof tag, "[%02d:%02d.%02d]", ms / 60000, ms / 1000 % 60,
                      ms / 10 % 100);
        text += tag;
        if (i % 10 == 9) {
            std::snprintf(tag, sizeof tag, "[%02d:%02d.%02d]", (ms + 900000) / 60000,
                          (ms + 900000) / 1000 % 60, ms / 10 % 100);
            text += tag;
        }
        if (i % 7 != 3) text += "夜空里的星光 shines 第" + std::to_string(i) + "行";
        text += "\r\n";
    }
    return text;
}

void BM_ParseLrc(benchmark::State& state) {
    const GbkText text = generateLyric(static_cast<int>(state.range(0)));
    LyricTable table;
    for (auto _ : state) {
        LrcReader::parse(text, table);
        benchmark::DoNotOptimize(table.lines.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
    state.counters["lines"] = static_cast<double>(state.range(0));
}

BENCHMARK(BM_ParseLrc)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
