// Every real log of the shared corpus through a whole run: nothing crashes, and every record with a
// readable date gets exactly one well-formed line.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <set>

#include <utf8.h>

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
    while (reader.nextRecord(record)) {
        if (reader.afterRecordOnItsLine() && !record.has("CALL") && !record.has("QSO_DATE"))
            continue; // no QSO
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
        host.size = 3;
        host.settings.fields = {"COMMENT", "GRIDSQUARE"};
        ConversionRun run(nullptr);
        const RunOutcome outcome = host.runWith(run);
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

// A field of a log that counts its lengths in characters, read plainly: the first tag of its name in the
// record, and as many UTF-8 characters as it declares.
struct CountedField {
    std::string name;
    std::string value;
};

std::vector<std::vector<CountedField>> recordsCountingCharacters(const std::string& log)
{
    const std::string upper = text::upper(log);
    const std::size_t eoh = upper.find("<EOH>");
    std::size_t at = eoh == std::string::npos ? 0 : eoh + 5;
    static const std::regex tag("<([A-Za-z0-9_]+):([0-9]+)(:[A-Za-z])?>");
    std::vector<std::vector<CountedField>> records;
    for (std::size_t eor; (eor = upper.find("<EOR>", at)) != std::string::npos; at = eor + 5) {
        std::vector<CountedField>& fields = records.emplace_back();
        std::set<std::string> seen;
        const std::string record = log.substr(at, eor + 5 - at);
        for (std::sregex_iterator m(record.begin(), record.end(), tag), end; m != end; ++m) {
            const std::string name = text::upper((*m)[1].str());
            auto it = record.begin() + (m->position() + m->length());
            const auto valueStart = it;
            for (int n = std::stoi((*m)[2].str()); n > 0 && it != record.end(); --n)
                utf8::next(it, record.end());
            if (seen.insert(name).second)
                fields.push_back({name, std::string(valueStart, it)});
        }
    }
    return records;
}

TEST(Corpus, CharacterCountedValuesComeOutWhole)
{
    const std::filesystem::path corpus = test::sharedDir() / "corpus" / "adif";
    if (test::sharedDir().empty() || !std::filesystem::is_directory(corpus))
        GTEST_SKIP() << "the shared corpus is not beside the project";

    // Logs whose loggers count UTF-8 characters (their SOURCES.md says so).
    const std::set<std::string> declaredByLength = {"CALL",     "TIME_ON", "MODE", "RST_SENT",
                                                    "QSL_RCVD", "QSL_VIA", "NAME", "QTH"};
    const std::set<std::string> notByLength = {"QSO_DATE", "OPERATOR", "CONTEST_ID", "BAND", "FREQ"};
    std::size_t checked = 0;
    for (const char* name : {"hamrs-01-pota.adi", "smartsdr-01.adi", "wrl-01.adi", "logger32-01-k0xm.adi",
                             "logger32-02-cyrillic-mojibake.adi"}) {
        SCOPED_TRACE(name);
        const std::string bytes = test::readFile(corpus / name);
        ASSERT_FALSE(bytes.empty());
        ASSERT_TRUE(utf8::is_valid(bytes.begin(), bytes.end()));
        const auto records = recordsCountingCharacters(bytes);

        // Every field with a non-ASCII value that is not a fixed column becomes a user-defined one.
        std::vector<std::pair<std::string, std::string>> wanted; // field, value as it must appear
        std::vector<std::string> userFields;
        for (const auto& fields : records)
            for (const CountedField& f : fields) {
                if (text::isAscii(f.value) || notByLength.count(f.name))
                    continue;
                if (!declaredByLength.count(f.name) &&
                    std::find(userFields.begin(), userFields.end(), f.name) == userFields.end())
                    userFields.push_back(f.name);
                std::string value = f.value;
                std::replace(value.begin(), value.end(), ',', ' ');
                wanted.emplace_back(f.name, value);
            }
        ASSERT_FALSE(wanted.empty());

        TempDir dir;
        const std::filesystem::path log = dir.write(name, bytes);
        FakeHost host;
        host.log = log;
        host.settings.fields = userFields;
        ConversionRun run(nullptr);
        ASSERT_EQ(host.runWith(run), RunOutcome::Done);

        std::string all;
        for (int k = 0; k <= 10; ++k)
            all += test::readFile(dataSourcePath(baseOf(log), k));
        EXPECT_TRUE(utf8::is_valid(all.begin(), all.end()));
        // Each value stands whole as a column: after a "," and before a "," or the line end.
        for (const auto& [field, value] : wanted) {
            const bool first = field == "CALL";
            const std::string column = (first ? "" : ",") + value;
            bool found = false;
            for (std::size_t at = all.find(column); at != std::string::npos && !found; at = all.find(column, at + 1)) {
                const char after = at + column.size() < all.size() ? all[at + column.size()] : '\r';
                found = (after == ',' || after == '\r') && (!first || at == 0 || all[at - 1] == '\n');
            }
            EXPECT_TRUE(found) << field << ": " << value;
            ++checked;
        }
    }
    EXPECT_GT(checked, 18u);
}

} // namespace
} // namespace cardmill
