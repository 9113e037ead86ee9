// A run with routes through the converter, its PDFs read back by poppler: each direct card's address label at
// the same place of the address sheets, and never a call sign on an address label.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "support/PdfReadBack.h"
#include "support/TempDir.h"

namespace cardmill {
namespace {

std::string field(const std::string& name, const std::string& value)
{
    return "<" + name + ":" + std::to_string(value.size()) + ">" + value + " ";
}

std::string qso(const std::string& call, const std::string& extra)
{
    return field("CALL", call) + field("QSO_DATE", "20240301") + field("TIME_ON", "1200") + field("BAND", "20m") +
           field("MODE", "SSB") + extra + "<EOR>\n";
}

// Grid A4, 2 columns, 3 rows of 90 x 60 mm from 10 mm, 95 mm and 65 mm apart: a word's place number from 0.
int placeOf(const test::Word& w)
{
    const double mm = 72.0 / 25.4;
    const int column = static_cast<int>(std::floor((w.x0 / mm - 10) / 95));
    const int row = static_cast<int>(std::floor((w.y0 / mm - 10) / 65));
    return w.page * 6 + row * 2 + column; // pages count from 0
}

TEST(RoutesDrawn, EachDirectCardsAddressLabelIsAtItsPlaceAndNoCallIsOnAnAddressLabel)
{
    if (const char* why = test::withoutPoppler())
        GTEST_SKIP() << why;
    const test::TempDir dir;
    const std::string longAddress = "Flat 3, " + std::string(2000, 'x');
    std::string log = "exported\n<EOH>\n";
    // Eight direct cards (two sheets), one with no address; two by bureau; one electronic.
    const char* calls[] = {"DL1AAA", "F5BBB", "G4CCC", "I1DDD", "K1EEE", "OK1FFF", "SP2GGG", "VK2HHH"};
    for (const char* call : calls) {
        const std::string name = std::string("Name") + call[0];
        const std::string address = std::string(call) == "OK1FFF"  ? ""
                                    : std::string(call) == "K1EEE" ? longAddress
                                                                   : "1 Street, Town <b>" + std::string(1, call[0]);
        log += qso(call, field("QSL_VIA", "direct") + field("NAME", name) +
                             (address.empty() ? "" : field("ADDRESS", address)));
    }
    log += qso("ON4III", "") + qso("PA3JJJ", field("QSL_VIA", "buro")) + qso("JA1KKK", field("QSL_VIA", "LoTW only"));
    const auto adi = dir.write("log.adi", log);
    const std::string command = std::string(CARDMILL_CONVERT) + " --log '" + adi.string() +
                                "' --routes --no-address held --custom-grid A4,2,3,90,60,10,10,95,65 "
                                "--start-label 2 --direct-start-label 3 --my-call SP3KXQ --journal '" +
                                (dir / "journal.txt").string() + "' >'" + (dir / "out.txt").string() + "' 2>&1";
    ASSERT_EQ(test::exitCodeOf(command), 0) << test::readFile(dir / "out.txt");

    // The direct cards in call order, one a label, and the address labels at the same places.
    std::map<std::string, int> cardAt;
    for (const test::Word& w : test::wordsOf(dir / "log_labels_direct.pdf"))
        for (const char* call : calls)
            if (w.text == call)
                cardAt[call] = placeOf(w);
    EXPECT_EQ(cardAt.size(), 7u); // OK1FFF has no address: held, on no label
    // They start at their own first label, the third; the bureau's at the second.
    EXPECT_EQ(cardAt["DL1AAA"], 2);
    EXPECT_EQ(cardAt.count("OK1FFF"), 0u);
    std::map<std::string, int> addressAt;
    for (const test::Word& w : test::wordsOf(dir / "log_addresses.pdf")) {
        for (const char* call : calls)
            EXPECT_EQ(w.text.find(call), std::string::npos) << w.text; // never a call on an envelope
        if (w.text.rfind("Name", 0) == 0)
            addressAt[w.text] = placeOf(w);
    }
    for (const auto& [call, place] : cardAt)
        EXPECT_EQ(addressAt[std::string("Name") + call[0]], place) << call;

    // The bureau's labels and the list of what got no card.
    std::string bureau;
    for (const test::Word& w : test::wordsOf(dir / "log_labels_bureau.pdf"))
        bureau += w.text + " ";
    EXPECT_NE(bureau.find("ON4III"), std::string::npos) << bureau;
    EXPECT_NE(bureau.find("PA3JJJ"), std::string::npos) << bureau;
    EXPECT_EQ(bureau.find("JA1KKK"), std::string::npos) << bureau;
    const std::string list = test::readFile(dir / "log_routes.txt");
    EXPECT_NE(list.find("JA1KKK"), std::string::npos) << list;
    EXPECT_NE(list.find("OK1FFF"), std::string::npos) << list;
    const std::string said = test::readFile(dir / "out.txt");
    EXPECT_NE(said.find("direct: 7 cards and 7 address labels (1 without an address: listed)"), std::string::npos)
        << said;

    // The journal has each label at the sheet and place it was drawn at.
    const std::string journal = test::readFile(dir / "journal.txt");
    for (const auto& [call, place] : cardAt) {
        const std::string entry = "log_labels_direct.pdf\t" + std::to_string(place / 6 + 1) + "\t" +
                                  std::to_string(place % 6 + 1) + "\t" + call + "|20240301|1200|20M|SSB\r\n";
        EXPECT_NE(journal.find(entry), std::string::npos) << entry << journal;
    }
    // A sheet drawn again is the sheet as it was, and the journal stays as it is.
    std::string again = command;
    again.insert(again.find(" >'"), " --reprint-sheet 1,2,D");
    ASSERT_EQ(test::exitCodeOf(again), 0) << test::readFile(dir / "out.txt");
    std::vector<std::string> was, is;
    for (const test::Word& w : test::wordsOf(dir / "log_labels_direct.pdf"))
        if (w.page == 1)
            was.push_back(w.text + "@" + std::to_string(std::lround(w.x0)) + "," + std::to_string(std::lround(w.y0)));
    for (const test::Word& w : test::wordsOf(dir / "log_reprint.pdf"))
        is.push_back(w.text + "@" + std::to_string(std::lround(w.x0)) + "," + std::to_string(std::lround(w.y0)));
    EXPECT_FALSE(was.empty());
    EXPECT_EQ(is, was);
    EXPECT_EQ(test::readFile(dir / "journal.txt"), journal);
    std::string missing = command;
    missing.insert(missing.find(" >'"), " --reprint-sheet 1,9");
    EXPECT_EQ(test::exitCodeOf(missing), 3);
    // No journal at all: the sheet is not in it, said as such.
    std::string none = missing;
    none.replace(none.find((dir / "journal.txt").string()), (dir / "journal.txt").string().size(),
                 (dir / "none.txt").string());
    EXPECT_EQ(test::exitCodeOf(none), 3);
    EXPECT_NE(test::readFile(dir / "out.txt").find("is not in the journal"), std::string::npos)
        << test::readFile(dir / "out.txt");

    // A second run prints nothing again, and says so.
    EXPECT_EQ(test::exitCodeOf(command), 5);
    EXPECT_NE(test::readFile(dir / "out.txt").find("Nothing new to print"), std::string::npos)
        << test::readFile(dir / "out.txt");

    // --list-routes says each QSO's route and why, and writes nothing.
    const std::string listing = "'" + std::string(CARDMILL_CONVERT) + "' --log '" + adi.string() +
                                "' --list-routes >'" + (dir / "routes.txt").string() + "' 2>&1";
    ASSERT_EQ(test::exitCodeOf(listing), 0);
    const std::string routes = test::readFile(dir / "routes.txt");
    EXPECT_NE(routes.find("JA1KKK\t20240301\t1200\t20m\tSSB\telectronic\tQSL_VIA says so"), std::string::npos)
        << routes;
    EXPECT_NE(routes.find("OK1FFF\t20240301\t1200\t20m\tSSB\tbureau\tQSL_VIA says so; no ADDRESS"), std::string::npos)
        << routes;
    // Options that go with routes are refused without them.
    EXPECT_EQ(test::exitCodeOf(std::string(CARDMILL_CONVERT) + " --log '" + adi.string() + "' --no-address held"), 2);
    EXPECT_EQ(
        test::exitCodeOf(std::string(CARDMILL_CONVERT) + " --log '" + adi.string() + "' --routes --default-route M"),
        2);
    EXPECT_EQ(test::exitCodeOf(std::string(CARDMILL_CONVERT) + " --log '" + adi.string() +
                               "' --routes --direct-start-label 0"),
              2);
    // A first label the sheet does not have is said before anything is drawn.
    std::string past = command;
    past.replace(past.find("--direct-start-label 3"), 22, "--direct-start-label 7 --reprint");
    EXPECT_EQ(test::exitCodeOf(past), 3);
    EXPECT_NE(test::readFile(dir / "out.txt").find("has no label 7"), std::string::npos)
        << test::readFile(dir / "out.txt");
}

// Labels merged into main documents: the direct cards' address labels are drawn on the address stock named, the
// address a line at a time as an envelope has it.
TEST(RoutesDrawn, MergedLabelsHaveTheirAddressLabelsDrawnOnTheAddressStock)
{
    if (const char* why = test::withoutPoppler())
        GTEST_SKIP() << why;
    const test::TempDir dir;
    const auto adi =
        dir.write("log.adi", "exported\n<EOH>\n" +
                                 qso("DL1AAA", field("QSL_VIA", "direct") + field("NAME", "Hans") +
                                                   field("ADDRESS", "Hauptstr. 5\r\n10115 Berlin\r\nGermany\r\n")) +
                                 qso("VK2BB", field("QSL_VIA", "direct") + field("NAME", "Bill") +
                                                  field("ADDRESS", "PO Box 1, Sydney NSW 2000, Australia")) +
                                 qso("ON4III", ""));
    const std::filesystem::path main = std::filesystem::path(CARDMILL_SOURCE_DIR) / "examples" / "card_1.docx";
    const std::string command = std::string(CARDMILL_CONVERT) + " --log '" + adi.string() + "' --routes --main-doc '" +
                                main.string() + "' --address-stock 'A4,2,3,90,60,10,10,95,65' --journal '" +
                                (dir / "journal.txt").string() + "' >'" + (dir / "out.txt").string() + "' 2>&1";
    ASSERT_EQ(test::exitCodeOf(command), 0) << test::readFile(dir / "out.txt");
    EXPECT_TRUE(std::filesystem::exists(dir / "log_direct_labels_1.docx"));
    // Said with the routes, not as PDFs of the label documents.
    const std::string said = test::readFile(dir / "out.txt");
    EXPECT_NE(said.find("Address labels: " + (dir / "log_addresses.pdf").string()), std::string::npos) << said;
    EXPECT_EQ(said.find("As PDF too"), std::string::npos) << said;
    // Each line of an address a text line of its own, at the label's place.
    std::map<int, std::vector<std::string>> lines; // by place, top to bottom
    std::map<int, std::map<long, std::string>> rows;
    for (const test::Word& w : test::wordsOf(dir / "log_addresses.pdf"))
        rows[placeOf(w)][std::lround(w.y0)] += (rows[placeOf(w)][std::lround(w.y0)].empty() ? "" : " ") + w.text;
    for (const auto& [place, byRow] : rows)
        for (const auto& [y, text] : byRow)
            lines[place].push_back(text);
    EXPECT_EQ(lines[0], (std::vector<std::string>{"Hans", "Hauptstr. 5", "10115 Berlin", "Germany"}));
    EXPECT_EQ(lines[1], (std::vector<std::string>{"Bill", "PO Box 1", "Sydney NSW 2000", "Australia"}));
    EXPECT_EQ(lines.size(), 2u); // the bureau card gets none
}

} // namespace
} // namespace cardmill
