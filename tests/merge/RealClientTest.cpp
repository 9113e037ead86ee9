// Real clients prove the merged documents: LibreOffice turns every merged document and the table document into
// PDF (one profile, one batched call), and the PDF's text holds the expected values in the expected order.
// Runs when CARDMILL_REAL_CLIENTS is set (the test command sets it for the normal build) and LibreOffice and
// pdftotext are installed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "engine/ConversionRun.h"
#include "engine/DataSourceFiles.h"
#include "merge/BuiltInLabelMaker.h"
#include "support/FakeHost.h"
#include "support/RealClients.h"
#include "support/Records.h"
#include "support/TempDir.h"

namespace cardmill {
namespace {

using test::FakeHost;
using test::readFile;
using test::shellQuote;
using test::TempDir;

// Converts the documents to PDF, into `folder`, in one LibreOffice call with a private profile.
void toPdf(const std::filesystem::path& folder, const std::vector<std::filesystem::path>& documents)
{
    std::string cmd = "cd " + shellQuote(folder.string()) + " && timeout 300 soffice --headless --norestore " +
                      "-env:UserInstallation=file://" + (folder / "lo-profile").string() + " --convert-to pdf";
    for (const auto& d : documents)
        cmd += " " + shellQuote(d.string());
    cmd += " >lo.log 2>&1";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << readFile(folder / "lo.log");
}

std::string pdfText(const std::filesystem::path& pdf)
{
    const std::filesystem::path txt = std::filesystem::path(pdf).replace_extension(".pdftext");
    const std::string cmd = "pdftotext -raw " + shellQuote(pdf.string()) + " " + shellQuote(txt.string());
    EXPECT_EQ(std::system(cmd.c_str()), 0) << pdf;
    return readFile(txt);
}

// Every value appears in the text, each after the one before.
void expectInOrder(const std::string& text, const std::vector<std::string>& values, const std::string& what)
{
    std::size_t at = 0;
    for (const std::string& v : values) {
        const std::size_t found = text.find(v, at);
        ASSERT_NE(found, std::string::npos) << what << ": \"" << v << "\" missing after offset " << at;
        at = found + v.size();
    }
}

// The columns of the data lines of a data-source file.
std::vector<std::vector<std::string>> dataLines(const std::filesystem::path& file)
{
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(readFile(file));
    std::string line;
    std::getline(in, line); // the header
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::vector<std::string> row;
        std::stringstream cells(line);
        for (std::string c; std::getline(cells, c, ',');)
            row.push_back(c);
        rows.push_back(row);
    }
    return rows;
}

// Merges a data-source file (LibreOffice's sample data) into a main document with the built-in maker.
void mergeDataSource(LabelMaker& maker, const std::filesystem::path& data, const std::filesystem::path& main,
                     const std::filesystem::path& output)
{
    std::istringstream in(readFile(data));
    std::string line;
    std::vector<std::string> columns, lines;
    std::getline(in, line);
    line.pop_back();
    std::stringstream header(line);
    for (std::string c; std::getline(header, c, ',');)
        columns.push_back(c);
    while (std::getline(in, line))
        lines.push_back(line.substr(0, line.size() - (!line.empty() && line.back() == '\r')));
    const auto records = test::OwnedRecords::fromLines(columns, lines);
    std::vector<MergeWarning> warnings;
    ASSERT_TRUE(maker.make(
        records, main, output, [](std::size_t) { return true; }, {}, warnings));
}

// The label documents and PDFs the last run made, in that order.
std::vector<std::filesystem::path> madeFiles(const FakeHost& host)
{
    std::vector<std::filesystem::path> out;
    if (host.summaries.empty())
        return out;
    for (const MadeLabels& m : host.summaries.back().made)
        out.push_back(m.document);
    out.insert(out.end(), host.summaries.back().pdfs.begin(), host.summaries.back().pdfs.end());
    return out;
}

TEST(RealClients, LibreOfficeReadsEveryMergedDocument)
{
    if (!test::haveRealClients(false))
        GTEST_SKIP() << "set CARDMILL_REAL_CLIENTS and install LibreOffice and poppler-utils";
    TempDir dir;
    std::vector<std::filesystem::path> documents;

    // The bundled example, log to labels.
    const std::filesystem::path examples = std::filesystem::path(CARDMILL_SOURCE_DIR) / "examples";
    std::filesystem::create_directories(dir / "example");
    for (const char* f : {"sp3kxq.adi", "sp3kxq-swl.adi", "card_1.docx", "card_2.docx", "card_3.docx", "card_swl.docx"})
        std::filesystem::copy_file(examples / f, dir / "example" / f);
    FakeHost host;
    host.log = dir / "example" / "sp3kxq.adi";
    host.swl = dir / "example" / "sp3kxq-swl.adi";
    host.mainDocument = dir / "example" / "card_1.docx";
    host.size = 3;
    host.keepTemporary = true;
    BuiltInLabelMaker maker;
    ConversionRun run(&maker);
    ASSERT_EQ(host.runWith(run), RunOutcome::Done) << (host.errors.empty() ? "" : host.errors[0]);
    ASSERT_EQ(madeFiles(host).size(), 4u);
    for (const auto& d : madeFiles(host)) {
        std::filesystem::copy_file(d, dir.path() / d.filename());
        documents.push_back(dir.path() / d.filename());
    }
    // The table document of the last pass (SWL), under a name LibreOffice's filters accept.
    std::filesystem::copy_file(dir / "example" / "temporary.doc", dir / "temporary-table.docx");
    documents.push_back(dir / "temporary-table.docx");

    // LibreOffice's own main documents with the sample data, when the shared fixtures are there.
    const std::filesystem::path fixtures = test::sharedDir() / "fixtures" / "merge";
    const bool haveFixtures = !test::sharedDir().empty() && std::filesystem::exists(fixtures / "main");
    if (haveFixtures) {
        std::filesystem::create_directories(dir / "fixtures");
        for (const char* k : {"1", "3", "swl"}) {
            std::filesystem::copy_file(fixtures / "main" / ("card_" + std::string(k) + ".docx"),
                                       dir / "fixtures" / ("card_" + std::string(k) + ".docx"));
            std::filesystem::copy_file(fixtures / "data" / ("log_" + std::string(k) + ".txt"),
                                       dir / "fixtures" / ("log_" + std::string(k) + ".txt"));
        }
        for (const char* k : {"1", "3", "swl"}) {
            const std::filesystem::path out = dir / ("log_labels_" + std::string(k) + ".docx");
            mergeDataSource(maker, dir / "fixtures" / ("log_" + std::string(k) + ".txt"),
                            dir / "fixtures" / ("card_" + std::string(k) + ".docx"), out);
            documents.push_back(out);
        }
    }

    toPdf(dir.path(), documents);

    // Example: every label holds its QSOs in order; labels follow the data-source file.
    for (const char* k : {"1", "2", "3"}) {
        SCOPED_TRACE(std::string("size ") + k);
        const std::string text = pdfText(dir / ("sp3kxq_labels_" + std::string(k) + ".pdf"));
        std::vector<std::string> values;
        for (const auto& row : dataLines(dir / "example" / ("sp3kxq_" + std::string(k) + ".txt"))) {
            values.push_back(row[1]); // date
            values.push_back(row[2]); // time
        }
        expectInOrder(text, values, "example labels");
    }
    {
        const std::string text = pdfText(dir / "sp3kxq_labels_swl.pdf");
        std::vector<std::string> values;
        for (const auto& row : dataLines(dir / "example" / "sp3kxq_swl.txt")) {
            values.push_back("To SWL " + row[0]);
            values.push_back("QSO with " + row[12]);
        }
        expectInOrder(text, values, "example SWL labels");
    }
    {
        // Narrow cells wrap their text: compare without white space.
        std::string text = pdfText(dir / "temporary-table.pdf");
        std::erase_if(text, [](char c) { return c == ' ' || c == '\n' || c == '\r'; });
        expectInOrder(text, {"CALL", "QSO_DATE", "CALL_WORKED", "BRS-32525"}, "table document");
    }

    if (haveFixtures) {
        const std::string one = pdfText(dir / "log_labels_1.pdf");
        expectInOrder(one, {"DL1ABC", "EA3XYZ", "G4AAA", "I2BBB", "JA1CCC", "K1DDD", "OK1EEE"}, "card_1");
        const std::string three = pdfText(dir / "log_labels_3.pdf");
        std::vector<std::string> values;
        for (const auto& row : dataLines(dir / "fixtures" / "log_3.txt"))
            values.push_back(row[1] + " " + row[2]);
        expectInOrder(three, {"DL1ABC", "EA3XYZ", "G4AAA"}, "card_3 calls");
        const std::string swl = pdfText(dir / "log_labels_swl.pdf");
        std::vector<std::string> calls;
        for (const auto& row : dataLines(dir / "fixtures" / "log_swl.txt"))
            calls.push_back(row[0]);
        expectInOrder(swl, calls, "card_swl");
    }
}

TEST(RealClients, OpenDocumentAndWord97MainDocumentsAndPdfLabels)
{
    if (!test::haveRealClients(false))
        GTEST_SKIP() << "set CARDMILL_REAL_CLIENTS and install LibreOffice and poppler-utils";
    TempDir dir;

    // The bundled example with its .odt main documents; the PDFs come from the processor itself.
    const std::filesystem::path examples = std::filesystem::path(CARDMILL_SOURCE_DIR) / "examples";
    std::filesystem::create_directories(dir / "example");
    for (const char* f : {"sp3kxq.adi", "sp3kxq-swl.adi", "card_1.odt", "card_2.odt", "card_3.odt", "card_swl.odt"})
        std::filesystem::copy_file(examples / f, dir / "example" / f);
    FakeHost host;
    host.log = dir / "example" / "sp3kxq.adi";
    host.swl = dir / "example" / "sp3kxq-swl.adi";
    host.mainDocument = dir / "example" / "card_1.odt";
    host.size = 3;
    host.pdf = true;
    BuiltInLabelMaker maker;
    ConversionRun run(&maker);
    ASSERT_EQ(host.runWith(run), RunOutcome::Done) << (host.errors.empty() ? "" : host.errors[0]);
    std::vector<std::filesystem::path> shown = madeFiles(host);
    ASSERT_EQ(shown.size(), 8u); // four .odt and their PDFs
    for (const char* k : {"1", "2", "3"}) {
        SCOPED_TRACE(std::string("size ") + k);
        ASSERT_EQ(shown[static_cast<std::size_t>(std::atoi(k) - 1)].extension(), ".odt");
        const std::string text = pdfText(dir / "example" / ("sp3kxq_labels_" + std::string(k) + ".pdf"));
        std::vector<std::string> values;
        for (const auto& row : dataLines(dir / "example" / ("sp3kxq_" + std::string(k) + ".txt"))) {
            values.push_back(row[1]);
            values.push_back(row[2]);
        }
        expectInOrder(text, values, "example .odt labels");
    }

    // The same example with its Word 97 main documents, read through LibreOffice.
    std::filesystem::create_directories(dir / "example-doc");
    for (const char* f : {"sp3kxq.adi", "sp3kxq-swl.adi", "card_1.doc", "card_2.doc", "card_3.doc", "card_swl.doc"})
        std::filesystem::copy_file(examples / f, dir / "example-doc" / f);
    host.log = dir / "example-doc" / "sp3kxq.adi";
    host.swl = dir / "example-doc" / "sp3kxq-swl.adi";
    host.mainDocument = dir / "example-doc" / "card_1.doc";
    ASSERT_EQ(host.runWith(run), RunOutcome::Done) << (host.errors.empty() ? "" : host.errors[0]);
    ASSERT_EQ(madeFiles(host).size(), 8u);
    {
        const std::string text = pdfText(dir / "example-doc" / "sp3kxq_labels_3.pdf");
        std::vector<std::string> values;
        for (const auto& row : dataLines(dir / "example-doc" / "sp3kxq_3.txt")) {
            values.push_back(row[1]);
            values.push_back(row[2]);
        }
        expectInOrder(text, values, "example .doc labels");
        const std::string swl = pdfText(dir / "example-doc" / "sp3kxq_labels_swl.pdf");
        std::vector<std::string> reports;
        for (const auto& row : dataLines(dir / "example-doc" / "sp3kxq_swl.txt"))
            reports.push_back("QSO with " + row[12]);
        expectInOrder(swl, reports, "example .doc SWL labels");
    }

    // LibreOffice's own main documents: .odt natively, .doc through LibreOffice.
    const std::filesystem::path fixtures = test::sharedDir() / "fixtures" / "merge";
    if (test::sharedDir().empty() || !std::filesystem::exists(fixtures / "main"))
        return;
    std::vector<std::filesystem::path> merged;
    for (const char* ext : {"odt", "doc"}) {
        const std::filesystem::path folder = dir / ext;
        std::filesystem::create_directories(folder);
        for (const char* k : {"1", "3", "swl"}) {
            std::filesystem::copy_file(fixtures / "main" / ("card_" + std::string(k) + "." + ext),
                                       folder / ("card_" + std::string(k) + "." + ext));
            std::filesystem::copy_file(fixtures / "data" / ("log_" + std::string(k) + ".txt"),
                                       folder / ("log_" + std::string(k) + ".txt"));
        }
        BuiltInLabelMaker m;
        for (const char* k : {"1", "3", "swl"}) {
            const std::filesystem::path main = folder / ("card_" + std::string(k) + "." + ext);
            EXPECT_EQ(m.labelExtension(main), ".odt");
            const std::filesystem::path out = dir / (std::string(ext) + "_log_labels_" + k + ".odt");
            mergeDataSource(m, folder / ("log_" + std::string(k) + ".txt"), main, out);
            merged.push_back(out);
        }
    }
    toPdf(dir.path(), merged);
    for (const char* ext : {"odt", "doc"}) {
        SCOPED_TRACE(ext);
        const std::string one = pdfText(dir / (std::string(ext) + "_log_labels_1.pdf"));
        expectInOrder(one, {"DL1ABC", "EA3XYZ", "G4AAA", "I2BBB", "JA1CCC", "K1DDD", "OK1EEE"}, "card_1");
        std::string three = pdfText(dir / (std::string(ext) + "_log_labels_3.pdf"));
        expectInOrder(three, {"DL1ABC", "EA3XYZ", "G4AAA"}, "card_3 calls");
        // The fixture's narrow date column wraps the dates: compare without white space.
        std::erase_if(three, [](char c) { return c == ' ' || c == '\n'; });
        std::vector<std::string> values;
        for (const auto& row : dataLines(fixtures / "data" / "log_3.txt"))
            values.push_back(row[1] + row[2] + row[3]);
        expectInOrder(three, values, "card_3 QSOs");
        const std::string swl = pdfText(dir / (std::string(ext) + "_log_labels_swl.pdf"));
        std::vector<std::string> calls;
        for (const auto& row : dataLines(fixtures / "data" / "log_swl.txt"))
            calls.push_back(row[0]);
        expectInOrder(swl, calls, "card_swl");
    }
}

} // namespace
} // namespace cardmill
