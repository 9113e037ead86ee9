// Inputs built to be expensive: a settings file of very many sections, complex fields nested very deep. Both
// must cost time in proportion to their size; Google Benchmark fits the growth (BigO).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "merge/BuiltInLabelMaker.h"
#include "merge/Zip.h"
#include "settings/IniFile.h"
#include "settings/Profiles.h"

namespace {

using namespace cardmill;

std::filesystem::path scratch(const std::string& name)
{
    return std::filesystem::temp_directory_path() / ("cardmill-bench-" + std::to_string(getpid()) + "-" + name);
}

void BM_SettingsWithManySections(benchmark::State& state)
{
    const auto n = static_cast<int>(state.range(0));
    const std::filesystem::path path = scratch("many.ini");
    {
        std::ofstream out(path, std::ios::binary);
        for (int i = 0; i < n; ++i)
            out << "[Profile " << i << "]\r\nSource file=/logs/" << i << ".adi\r\nQSOs on label=3\r\n";
    }
    const IniFile ini(path);
    for (auto _ : state)
        benchmark::DoNotOptimize(sortedProfileNames(ini));
    state.SetComplexityN(n);
    std::filesystem::remove(path);
}
BENCHMARK(BM_SettingsWithManySections)
    ->RangeMultiplier(4)
    ->Range(12500, 200000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

void BM_NestedComplexFields(benchmark::State& state)
{
    const auto n = static_cast<std::size_t>(state.range(0));
    const std::filesystem::path path = scratch("nested.docx");
    std::string runs;
    for (std::size_t i = 0; i < n; ++i)
        runs += "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText> IF </w:instrText></w:r>";
    runs += "<w:r><w:instrText> MERGEFIELD CALL </w:instrText></w:r>";
    for (std::size_t i = 0; i < n; ++i)
        runs += "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>";
    {
        ZipWriter zip(path);
        zip.add("word/document.xml", "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/"
                                     "main\"><w:body><w:p>" +
                                         runs + "</w:p></w:body></w:document>");
        zip.close();
    }
    for (auto _ : state) {
        BuiltInLabelMaker maker; // a fresh one: nothing cached
        benchmark::DoNotOptimize(maker.labelExtension(path));
    }
    state.SetComplexityN(static_cast<std::int64_t>(n));
    std::filesystem::remove(path);
}
BENCHMARK(BM_NestedComplexFields)
    ->RangeMultiplier(2)
    ->Range(12500, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

} // namespace

BENCHMARK_MAIN();
