// A whole mail-merge pass of the built-in engine: 10,000 and 100,000 records (labels of three QSOs) into a
// 2 x 4 label main document, from the data-source file to the saved label document.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

#include "engine/RunHost.h"
#include "merge/BuiltInProcessor.h"
#include "merge/WordMergeDriver.h"

namespace {

using namespace cardmill;

// A host that shows nothing.
class QuietHost : public RunHost {
public:
    std::filesystem::path main;
    int qrgFormat() const override { return 1; }
    int dateFormatIndex() const override { return 0; }
    std::string dateSeparator() const override { return "-"; }
    void userFieldsInto(std::vector<std::string>& out) const override { out.clear(); }
    bool dateRangeEnabled() const override { return false; }
    PickerDate dateFrom() const override { return {}; }
    PickerDate dateTo() const override { return {}; }
    bool qslFilterEnabled(QslFilter) const override { return false; }
    bool qslBoxTicked(QslFilter, QslBox) const override { return false; }
    bool callFilterEnabled() const override { return false; }
    std::string callFilterText() const override { return {}; }
    std::filesystem::path logPath() const override { return {}; }
    std::filesystem::path swlPath() const override { return {}; }
    std::filesystem::path mainDocumentPath() const override { return main; }
    int labelSize() const override { return 3; }
    std::filesystem::path workFolder() const override { return {}; }
    bool keepTemporaryFile() const override { return false; }
    void setStatus(TextId, const std::string&) override {}
    void showProgress(bool) override {}
    void setProgressRange(std::size_t) override {}
    void setProgressPosition(std::size_t) override {}
    void showMessage(TextId, const std::string&) override {}
    void showError(const std::string&) override {}
    void processEvents() override {}
    bool stopRequested() const override { return false; }
    void clearStopRequest() override {}
    void setStopEnabled(bool) override {}
};

long maxRssMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

void BM_MergePass(benchmark::State& state)
{
    const auto records = static_cast<std::size_t>(state.range(0));
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("cardmill-bench-merge-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::filesystem::copy_file(CARDMILL_EXAMPLES "/card_3.docx", dir / "card_3.docx",
                               std::filesystem::copy_options::overwrite_existing);
    {
        std::ofstream out(dir / "log_3.txt", std::ios::binary);
        out << "CALL,QSO_DATE,TIME_ON,BAND,MODE,RST_SENT,QSL_RCVD,QSL_VIA,NAME,QTH,OPERATOR,CONTEST_ID,CALL_WORKED\r\n";
        for (std::size_t i = 0; i < records; ++i)
            out << "SP" << (i / 3) % 10 << "X" << i / 30 << ",2024-0" << 1 + i % 9 << "-1" << i % 10 << ",1" << i % 10
                << ":2" << i % 6 << ",20M,CW,599,N,W3HNK,Zdzis\xc5\x82\x61w,Pozna\xc5\x84,,,\r\n";
    }
    QuietHost host;
    host.main = dir / "card_1.docx";
    for (auto _ : state) {
        BuiltInProcessor processor([] {}, {});
        WordMergeDriver driver(processor, host, dir);
        driver.startMerge(dir / "log");
        driver.runPass(dir / "log", {3});
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
