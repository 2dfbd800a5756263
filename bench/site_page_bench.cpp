// The lyric site's result page: reading the hits out of a page of 1,000 fragments (about 1 MB).
#include <benchmark/benchmark.h>

#include <string>

#include "search/site_source.hpp"
#include "text/codepage.hpp"

static void BM_ParseSitePage(benchmark::State& state) {
    GbkText gbk = "<html><body><ul>\n";
    const GbkText filler(800, 'x');
    for (int i = 0; i < 1000; ++i) {
        gbk += "<li><font size=\"-1\"><a>http://127.0.0.1/lrc/" + std::to_string(i) +
               ".lrc</font> <span title=\"" + filler + "\">歌手 歌名" + std::to_string(i) +
               " LRC歌词下载</a></li>\n";
    }
    const std::string page = codepage::gbkToUtf8(gbk + "</ul></body></html>");
    for (auto _ : state) {
        HitList list = parseSitePage(page);
        benchmark::DoNotOptimize(list);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_ParseSitePage)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
