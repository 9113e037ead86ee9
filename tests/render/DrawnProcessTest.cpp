// Drawn runs of cardmill-convert as real processes in hostile surroundings: a disk that fills while the labels are
// drawn, another run of the same folder from a PID namespace of its own (a container), and numbers that are no
// numbers. Each needs what only some machines allow (mounting, namespaces) and says so when it skips.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include <QPrinter>

#include "engine/Failure.h"
#include "render/LabelOutput.h"
#include "stock/LabelStock.h"
#include "support/TempDir.h"

namespace cardmill {
namespace {

// A shell command's exit code.
int shell(const std::string& command)
{
    const int status = std::system(("/bin/sh -c '" + command + "' >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string quoted(const std::filesystem::path& p)
{
    return "\"" + p.string() + "\"";
}

// A log of `n` QSOs with as many stations, each on a label of its own.
std::string logOf(int n)
{
    std::string log = "generated\n<EOH>\n";
    for (int i = 0; i < n; ++i) {
        const std::string call = "K" + std::to_string(i) + "AA";
        log += "<CALL:" + std::to_string(call.size()) + ">" + call +
               "<QSO_DATE:8>20240101<TIME_ON:4>1200<BAND:3>20m<MODE:3>SSB<RST_SENT:2>59<EOR>\n";
    }
    return log;
}

std::vector<std::string> namesIn(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(DrawnProcesses, AFullDiskWhileDrawingEndsTheRunSayingSoAndLeavesNothingBehind)
{
    // A private mount namespace holds a 4 MB file system of its own, gone with the namespace.
    if (shell("unshare -m true") != 0 && shell("unshare -rm true") != 0)
        GTEST_SKIP() << "mounting a file system of its own needs root or user namespaces here";
    const std::string unshare = shell("unshare -m true") == 0 ? "unshare -m" : "unshare -rm";
    const test::TempDir dir;
    const auto disk = dir / "disk";
    std::filesystem::create_directory(disk);
    dir.write("log.adi", logOf(1500));
    // The labels' PDF (about 400 kB) does not fit what the log and its data-source files leave free.
    const std::string script =
        "mount -t tmpfs -o size=4m tmpfs " + quoted(disk) + " || exit 90; cp " + quoted(dir / "log.adi") + " " +
        quoted(disk) + "; printf older > " + quoted(disk / "log_labels.pdf") +
        "; dd if=/dev/zero of=" + quoted(disk / "filler") + " bs=1k count=3600 2>/dev/null; " + CARDMILL_CONVERT +
        " --log " + quoted(disk / "log.adi") + " --custom-grid A4,3,8,70,36,0,4.5,70,36 --mark-sent > " +
        quoted(dir / "out.txt") + " 2>&1; echo $? > " + quoted(dir / "exit") + "; ls -A " + quoted(disk) + " > " +
        quoted(dir / "left") + "; cat " + quoted(disk / "log_labels.pdf") + " > " + quoted(dir / "older");
    std::ofstream(dir / "script.sh") << script << "\n";
    const int status = std::system((unshare + " /bin/sh " + quoted(dir / "script.sh")).c_str());
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 90)
        GTEST_SKIP() << "tmpfs cannot be mounted here";
    const std::string out = test::readFile(dir / "out.txt");
    EXPECT_EQ(test::readFile(dir / "exit"), "4\n") << out;
    EXPECT_NE(out.find("log_labels.pdf"), std::string::npos) << out;
    EXPECT_EQ(out.find("terminate"), std::string::npos) << out;
    // No part file, no lock, no marks; the older PDF as it was.
    const std::string left = test::readFile(dir / "left");
    EXPECT_EQ(left.find(".part"), std::string::npos) << left;
    EXPECT_EQ(left.find("cardmill-lock"), std::string::npos) << left;
    EXPECT_EQ(left.find("_sent.adi"), std::string::npos) << left;
    EXPECT_EQ(test::readFile(dir / "older"), "older");
}

TEST(DrawnProcesses, ARunInAPidNamespaceOfItsOwnKeepsItsPartFilesFromAnotherRunsCleanUp)
{
    if (shell("unshare --pid --fork --mount-proc true") != 0)
        GTEST_SKIP() << "a PID namespace of its own needs root here";
    // The run in the namespace gets a process id that no process has out here, as in a container.
    long pidMax = 32768;
    std::ifstream("/proc/sys/kernel/pid_max") >> pidMax;
    const long inside = pidMax - 40;
    for (long pid = inside - 2; pid < inside + 10; ++pid)
        if (std::filesystem::exists("/proc/" + std::to_string(pid)))
            GTEST_SKIP() << "process id " << pid << " is taken here";
    const test::TempDir dir;
    dir.write("big.adi", logOf(20000));
    dir.write("small.adi", logOf(10));
    const std::string grid = " --custom-grid A4,3,8,70,36,0,4.5,70,36";
    std::ofstream(dir / "inside.sh") << "echo " << inside << " > /proc/sys/kernel/ns_last_pid\n"
                                     << CARDMILL_CONVERT << " --log " << quoted(dir / "big.adi") << grid << " > "
                                     << quoted(dir / "out.txt") << " 2>&1\necho $? > " << quoted(dir / "exit") << "\n";
    std::thread first(
        [&] { std::system(("unshare --pid --fork --mount-proc /bin/sh " + quoted(dir / "inside.sh")).c_str()); });
    // While the first run draws its labels under a part name, a second run of the same folder cleans up.
    bool drawing = false;
    for (int i = 0; i < 3000 && !drawing; ++i) {
        for (const std::string& name : namesIn(dir.path()))
            drawing = drawing || (name.starts_with(".big_labels.pdf.cardmill-") && name.ends_with(".part"));
        if (!drawing)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(drawing) << test::readFile(dir / "out.txt");
    EXPECT_EQ(shell(std::string(CARDMILL_CONVERT) + " --log " + quoted(dir / "small.adi") + grid), 0);
    first.join();
    EXPECT_EQ(test::readFile(dir / "exit"), "0\n") << test::readFile(dir / "out.txt");
    EXPECT_TRUE(std::filesystem::exists(dir / "big_labels.pdf"));
    for (const std::string& name : namesIn(dir.path()))
        EXPECT_FALSE(name.ends_with(".part")) << name;
}

// Printing on a real CUPS queue: scripts/print-test.sh names a queue that prints into PDFs
// (CARDMILL_TEST_QUEUE), one that takes no jobs (CARDMILL_TEST_REJECTING_QUEUE) and where the first one's PDFs
// go (CARDMILL_TEST_PRINTED).
class Printing : public testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"CARDMILL_TEST_QUEUE", "CARDMILL_TEST_REJECTING_QUEUE", "CARDMILL_TEST_PRINTED"})
            if (!std::getenv(name))
                GTEST_SKIP() << "no print queue of the test's own (scripts/print-test.sh makes them)";
        queue = std::getenv("CARDMILL_TEST_QUEUE");
        rejecting = std::getenv("CARDMILL_TEST_REJECTING_QUEUE");
        printed = std::getenv("CARDMILL_TEST_PRINTED");
    }
    // Whether the queue holds a job, or its PDF printer wrote anything since `since`, within a few seconds.
    bool anythingPrinted(std::filesystem::file_time_type since) const
    {
        for (int i = 0; i < 30; ++i) {
            if (shell("lpstat -o " + queue + " | grep -q .") == 0)
                return true;
            for (const auto& e : std::filesystem::directory_iterator(printed))
                if (e.last_write_time() >= since)
                    return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }
    std::string queue, rejecting;
    std::filesystem::path printed;
};

class ManyLabels : public LabelSource {
public:
    std::size_t count() const override { return 3000; }
    int qsos(std::size_t) const override { return 1; }
    std::string value(std::size_t label, const std::string& column, int) const override
    {
        return column == "CALL" ? "K" + std::to_string(label) + "AA" : "X";
    }
};

TEST_F(Printing, NothingReachesTheQueueUnlessTheWholeJobIsHandedOverAndTaken)
{
    const SheetRenderer renderer(customStock(parseCustomGrid("A4,3,8,70,36,0,4.5,70,36")), "SP3KXQ", 1, {}, 1, false);
    const ManyLabels labels;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPrinterName(QString::fromStdString(queue));
    preparePrinter(printer, renderer);
    const auto before = std::filesystem::file_time_type::clock::now();
    std::size_t drawn = 0;
    // Cancelled on the tenth sheet of 125, as the progress window's Cancel does.
    EXPECT_EQ(
        printOn(printer, renderer, labels, {}, [&](std::size_t done, std::size_t) { return (drawn = done) < 10; }),
        std::nullopt);
    EXPECT_EQ(drawn, 10u);
    EXPECT_FALSE(anythingPrinted(before));

    // A queue that takes no jobs is refused before a page is drawn.
    drawn = 0;
    QPrinter refusing(QPrinter::HighResolution);
    refusing.setPrinterName(QString::fromStdString(rejecting));
    preparePrinter(refusing, renderer);
    try {
        printOn(refusing, renderer, labels, {}, [&](std::size_t done, std::size_t) { return (drawn = done), true; });
        ADD_FAILURE() << "printed on a queue that takes no jobs";
    } catch (const FailureError& e) {
        EXPECT_EQ(e.failure().id, FailureId::PrinterRefusing);
        EXPECT_EQ(e.failure().name, rejecting);
    }
    EXPECT_EQ(drawn, 0u);

    // A job the print system does not take (more copies than it makes) is an error, not a print.
    QPrinter tooMany(QPrinter::HighResolution);
    tooMany.setPrinterName(QString::fromStdString(queue));
    preparePrinter(tooMany, renderer);
    tooMany.setCopyCount(1000000);
    try {
        printOn(tooMany, renderer, labels, {0, 1});
        ADD_FAILURE() << "a job the print system refused counted as printed";
    } catch (const FailureError& e) {
        EXPECT_EQ(e.failure().id, FailureId::PrintRefused);
    }
    EXPECT_FALSE(anythingPrinted(before));

    // Three sheets printed: the queue took them, and says so.
    EXPECT_EQ(printOn(printer, renderer, labels, {2, 5}), std::optional<std::size_t>(3));
    EXPECT_TRUE(anythingPrinted(before));
}

} // namespace
} // namespace cardmill
