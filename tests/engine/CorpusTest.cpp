// Every real log of the shared corpus through a whole run: nothing crashes, and every record with a
// readable date gets exactly one well-formed line.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "engine/AdifReader.h"
#include "engine/AdifRecord.h"
#include "engine/ConversionRun.h"
#include "engine/DataSourceFiles.h"
#include "engine/Text.h"
#include "support/FakeHost.h"
#include "support/TempDir.h"

namespace cardmill {
namespace {

using test::FakeHost;
using test::TempDir;

std::size_t recordsWithReadableDate(const std::filesystem::path& log)
{
    AdifReader reader(log);
    reader.skipHeader();
    AdifRecord record;
    std::size_t count = 0;
    for (AdifReader::Result r; (r = reader.next()) != AdifReader::Result::None;) {
        if (r != AdifReader::Result::Record)
            continue;
        record.assign(reader.record(), reader.rawRecord());
        long long date = 0;
        const auto chars = record.eightCharacters("QSO_DATE");
        if (!chars || text::parseInteger(*chars, date))
            ++count;
    }
    return count;
}

TEST(Corpus, EveryRealLogConverts)
{
    const std::filesystem::path corpus = test::sharedDir() / "corpus" / "adif";
    if (test::sharedDir().empty() || !std::filesystem::is_directory(corpus))
        GTEST_SKIP() << "the shared corpus is not beside the project";

    std::size_t logs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        if (entry.path().extension() != ".adi")
            continue;
        ++logs;
        SCOPED_TRACE(entry.path().filename().string());
        TempDir dir;
        const std::filesystem::path log = dir / entry.path().filename().string();
        std::filesystem::copy_file(entry.path(), log);

        FakeHost host;
        host.log = log;
        host.work = dir.path();
        host.size = 3;
        host.settings.fields = {"COMMENT", "GRIDSQUARE"};
        ConversionRun run(host, nullptr);
        const RunOutcome outcome = run.run();
        const std::size_t expected = recordsWithReadableDate(log);
        ASSERT_TRUE(outcome == RunOutcome::Done || (outcome == RunOutcome::NoData && expected == 0))
            << static_cast<int>(outcome);
        EXPECT_TRUE(host.errors.empty());
        EXPECT_EQ(run.lines().size(), expected);

        // Every line has its 13 + 2 columns, and every line reached a data-source file.
        std::size_t written = 0;
        for (int k = 0; k <= 10; ++k) {
            std::ifstream in(dataSourcePath(baseOf(log), k), std::ios::binary);
            std::string line;
            bool header = true;
            while (std::getline(in, line)) {
                ASSERT_FALSE(line.empty());
                ASSERT_EQ(line.back(), '\r');
                EXPECT_EQ(std::count(line.begin(), line.end(), ','), 14) << line;
                written += header ? 0 : 1;
                header = false;
            }
        }
        EXPECT_EQ(written, expected);
    }
    EXPECT_GT(logs, 30u);
}

} // namespace
} // namespace cardmill
