// One merge pass of the built-in engine: 10,000 and 100,000 records (labels of three QSOs) into the example's
// 2 x 4 label main document, from the records in memory to the saved label document.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

#include "merge/BuiltInLabelMaker.h"

namespace {

using namespace cardmill;

long maxRssMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

void BM_MergePass(benchmark::State& state)
{
    const auto count = static_cast<std::size_t>(state.range(0));
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("cardmill-bench-merge-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < count; ++i)
        lines.push_back("SP" + std::to_string((i / 3) % 10) + "X" + std::to_string(i / 30) + ",2024-0" +
                        std::to_string(1 + i % 9) + "-1" + std::to_string(i % 10) + ",1" + std::to_string(i % 10) +
                        ":2" + std::to_string(i % 6) + ",20M,CW,599,N,W3HNK,Zdzis\xc5\x82\x61w,Pozna\xc5\x84,,,");
    const PassRecords records({"CALL", "QSO_DATE", "TIME_ON", "BAND", "MODE", "RST_SENT", "QSL_RCVD", "QSL_VIA", "NAME",
                               "QTH", "OPERATOR", "CONTEST_ID", "CALL_WORKED"},
                              std::vector<std::string_view>(lines.begin(), lines.end()));
    for (auto _ : state) {
        BuiltInLabelMaker maker;
        std::vector<MergeWarning> warnings;
        maker.make(
            records, CARDMILL_EXAMPLES "/card_3.docx", dir / "log_labels_3.docx", [](std::size_t) { return true; }, {},
            warnings);
    }
    state.counters["labels_mb"] =
        static_cast<double>(std::filesystem::file_size(dir / "log_labels_3.docx")) / (1024.0 * 1024.0);
    state.counters["peak_rss_mb"] = static_cast<double>(maxRssMb());
    state.SetItemsProcessed(state.iterations() * state.range(0));
    std::filesystem::remove_all(dir);
}

BENCHMARK(BM_MergePass)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
