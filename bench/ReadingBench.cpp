// Reading + composing per record against a baseline that only reads the same file's lines.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

#include "LogGenerator.h"
#include "engine/AdifReader.h"
#include "engine/LineComposer.h"
#include "engine/LineReader.h"
#include "engine/RunRequest.h"

namespace {

using namespace cardmill;

// The choices of a typical run: exact QRG in kHz, two user fields, no filter.
RunRequest benchRequest()
{
    RunRequest r;
    r.format.qrg = QrgFormat::ExactKHz;
    r.format.userFields = {"GRIDSQUARE", "COMMENT"};
    return r;
}

std::filesystem::path logFor(std::size_t qsos)
{
    const auto path = std::filesystem::temp_directory_path() /
                      ("cardmill-bench-" + std::to_string(getpid()) + "-" + std::to_string(qsos) + ".adi");
    if (!std::filesystem::exists(path))
        bench::writeSyntheticLog(path, qsos);
    return path;
}

long maxRssKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void BM_ReadLinesBaseline(benchmark::State& state)
{
    const auto log = logFor(static_cast<std::size_t>(state.range(0)));
    std::size_t bytes = 0;
    for (auto _ : state) {
        LineReader reader(log);
        std::string line;
        while (reader.appendLine(line)) {
            bytes += line.size();
            line.clear();
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The same file's lines read the plain way, with the standard library.
void BM_GetlineBaseline(benchmark::State& state)
{
    const auto log = logFor(static_cast<std::size_t>(state.range(0)));
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::ifstream in(log, std::ios::binary);
        std::string line;
        while (std::getline(in, line))
            bytes += line.size();
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_ReadRecords(benchmark::State& state)
{
    const auto log = logFor(static_cast<std::size_t>(state.range(0)));
    std::size_t records = 0;
    for (auto _ : state) {
        AdifReader reader(log);
        reader.skipHeader();
        while (reader.next() != AdifReader::Result::None)
            ++records;
        benchmark::DoNotOptimize(records);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Reading plus the per-record index, without composing: splits the cost of the full path.
void BM_ReadAndIndex(benchmark::State& state)
{
    const auto log = logFor(static_cast<std::size_t>(state.range(0)));
    std::size_t tags = 0;
    for (auto _ : state) {
        AdifReader reader(log);
        reader.skipHeader();
        AdifRecord record;
        while (reader.nextRecord(record)) {
            tags += record.has("CALL");
        }
        benchmark::DoNotOptimize(tags);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_ReadAndCompose(benchmark::State& state)
{
    const auto qsos = static_cast<std::size_t>(state.range(0));
    const auto log = logFor(qsos);
    const auto badPath = std::filesystem::path(log).replace_extension(".bad");
    const RunRequest request = benchRequest();
    const long rssBefore = maxRssKb();
    std::size_t lines = 0;
    for (auto _ : state) {
        BadRecordsFile bad(badPath);
        bad.create();
        const QsoFilters filters(request.filters);
        LineComposer composer(request.format, filters, bad);
        AdifReader reader(log);
        reader.skipHeader();
        AdifRecord record;
        std::string line;
        while (reader.nextRecord(record)) {
            if (composer.composeQso(record, line) == LineComposer::Outcome::Line)
                ++lines;
        }
        benchmark::DoNotOptimize(lines);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    // Reading keeps one record at a time: the peak must not grow with the number of records.
    state.counters["rss_growth_kb"] = static_cast<double>(maxRssKb() - rssBefore);
    std::filesystem::remove(badPath);
}

BENCHMARK(BM_ReadLinesBaseline)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetlineBaseline)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadRecords)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadAndIndex)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadAndCompose)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
