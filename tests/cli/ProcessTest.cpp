// cardmill-convert as real processes: two at once, signals in the middle of a run, a run killed outright.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "cli/ConvertOptions.h"
#include "engine/RunLock.h"
#include "support/TempDir.h"

extern char** environ;

namespace cardmill {
namespace {

using test::readFile;
using test::TempDir;

// cardmill-convert started with the arguments, its output to `log`, $TMPDIR and $PATH as given (empty: as now).
pid_t start(const std::vector<std::string>& arguments, const std::filesystem::path& log,
            const std::filesystem::path& tmp = {}, const std::string& pathPrefix = {})
{
    std::vector<std::string> args{CARDMILL_CONVERT};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        if ((!tmp.empty() && entry.rfind("TMPDIR=", 0) == 0) || (!pathPrefix.empty() && entry.rfind("PATH=", 0) == 0))
            continue;
        env.push_back(entry);
    }
    if (!tmp.empty())
        env.push_back("TMPDIR=" + tmp.string());
    if (!pathPrefix.empty())
        env.push_back("PATH=" + pathPrefix + ":" + (std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin"));
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    pid_t pid = 0;
    const int r = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return r == 0 ? pid : -1;
}

int exitCode(pid_t pid)
{
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Waits up to ten seconds for `ready`.
bool waitFor(const std::function<bool()>& ready)
{
    for (int i = 0; i < 1000; ++i) {
        if (ready())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

std::string qsos(const std::string& prefix, int n)
{
    std::string log = "<EOH>\n";
    for (int i = 0; i < n; ++i) {
        const std::string call = prefix + std::to_string(i);
        log += "<CALL:" + std::to_string(call.size()) + ">" + call +
               "<QSO_DATE:8>20240101<TIME_ON:4>1200<BAND:3>20M<MODE:2>CW<EOR>\n";
    }
    return log;
}

std::size_t entries(const std::filesystem::path& folder)
{
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

TEST(ConvertProcesses, RunsOfTwoLogsAtOnceKeepTheirOwnQsos)
{
    TempDir dir;
    const auto big = dir.write("a/big.adi", qsos("DL", 60000));
    const auto small = dir.write("b/small.adi", qsos("SP", 3));
    const pid_t one = start({"--log", big.string(), "--no-merge"}, dir / "one.out");
    const pid_t two = start({"--log", small.string(), "--no-merge"}, dir / "two.out");
    EXPECT_EQ(exitCode(one), ExitDone) << readFile(dir / "one.out");
    EXPECT_EQ(exitCode(two), ExitDone) << readFile(dir / "two.out");
    const std::string a = readFile(dir / "a" / "big_1.txt"), b = readFile(dir / "b" / "small_1.txt");
    EXPECT_EQ(std::count(a.begin(), a.end(), '\n'), 60001);
    EXPECT_EQ(a.find("SP"), std::string::npos);
    EXPECT_EQ(std::count(b.begin(), b.end(), '\n'), 4);
    EXPECT_EQ(b.find("DL"), std::string::npos);
}

TEST(ConvertProcesses, ASecondRunOfTheSameLogIsRefusedAtOnce)
{
    TempDir dir;
    const auto log = dir.write("my.adi", qsos("DL", 3));
    const auto held = RunLock::take({dir / "my"}); // as another process's run would hold it
    ASSERT_TRUE(held);
    EXPECT_EQ(exitCode(start({"--log", log.string(), "--no-merge"}, dir / "out")), ExitLocked);
    EXPECT_NE(readFile(dir / "out").find("Another run is making the labels of"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "my_1.txt"));
}

// A stand-in for LibreOffice that takes its time, so that the run can be met in the middle of its merge, and
// says where it is.
struct SlowLibreOffice {
    explicit SlowLibreOffice(const TempDir& dir)
        : bin(dir / "bin")
        , marker(dir / "soffice-started")
    {
        std::filesystem::create_directories(bin);
        const auto script = bin / "soffice";
        std::ofstream(script) << "#!/bin/sh\necho $$ > '" << marker.string() << "'\nsleep 20\n";
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    }
    pid_t pid() const
    {
        std::ifstream in(marker);
        pid_t p = 0;
        in >> p;
        return p;
    }
    std::filesystem::path bin, marker;
};

struct DocRun {
    explicit DocRun(const TempDir& dir)
        : log(dir.write("logs/my.adi", qsos("DL", 50)))
        , main(dir.write("logs/card_1.doc", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + "a Word 97 file"))
        , tmp(dir / "tmp")
    {
        std::filesystem::create_directories(tmp);
    }
    std::vector<std::string> args() const { return {"--log", log.string(), "--main-doc", main.string()}; }
    std::filesystem::path log, main, tmp;
};

TEST(ConvertProcesses, ASignalStopsTheRunWhichCleansUpAfterItself)
{
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        TempDir dir;
        const SlowLibreOffice office(dir);
        const DocRun run(dir);
        const pid_t pid = start(run.args(), dir / "out", run.tmp, office.bin.string());
        ASSERT_TRUE(waitFor([&] { return office.pid() > 0; })) << readFile(dir / "out");
        EXPECT_EQ(entries(run.tmp), 1u); // the run's work folder
        ::kill(pid, signal);
        EXPECT_EQ(exitCode(pid), ExitStopped) << readFile(dir / "out");
        EXPECT_NE(readFile(dir / "out").find("Process stopped !"), std::string::npos);
        EXPECT_EQ(entries(run.tmp), 0u);
        EXPECT_TRUE(waitFor([&] { return ::kill(office.pid(), 0) != 0; })); // LibreOffice was stopped too
        // The log's folder holds the log, the main document and the complete data-source file.
        EXPECT_EQ(entries(dir / "logs"), 3u);
        EXPECT_TRUE(std::filesystem::exists(dir / "logs" / "my_1.txt"));
    }
}

TEST(ConvertProcesses, ASecondSignalEndsTheProgramAtOnceAndAKilledRunIsCleanedUpByTheNext)
{
    TempDir dir;
    const SlowLibreOffice office(dir);
    const DocRun run(dir);

    // Two signals: the program ends at once, its work folder and LibreOffice with it.
    pid_t pid = start(run.args(), dir / "out", run.tmp, office.bin.string());
    ASSERT_TRUE(waitFor([&] { return office.pid() > 0; }));
    // The first signal is honoured at the next stop point, which LibreOffice's wait reaches ten times a second;
    // the second comes at once.
    ::kill(pid, SIGTERM);
    ::kill(pid, SIGTERM);
    const int code = exitCode(pid);
    EXPECT_TRUE(code == 128 + SIGTERM || code == ExitStopped) << code;
    EXPECT_EQ(entries(run.tmp), 0u);
    EXPECT_TRUE(waitFor([&] { return ::kill(office.pid(), 0) != 0; }));

    // Killed outright: what it left is removed by the next run.
    std::filesystem::remove(office.marker);
    pid = start(run.args(), dir / "out", run.tmp, office.bin.string());
    ASSERT_TRUE(waitFor([&] { return office.pid() > 0; }));
    const std::string partName = ".my_9.txt.cardmill-" + std::to_string(pid) + "-abcdef012345.part";
    std::ofstream(dir / "logs" / partName) << "half"; // as a kill during grouping would leave it
    ::kill(pid, SIGKILL);
    EXPECT_EQ(exitCode(pid), 128 + SIGKILL);
    ::kill(office.pid(), SIGKILL);
    EXPECT_EQ(entries(run.tmp), 1u);
    EXPECT_EQ(exitCode(start({"--log", run.log.string(), "--no-merge"}, dir / "next", run.tmp)), ExitDone);
    EXPECT_EQ(entries(run.tmp), 0u);
    EXPECT_FALSE(std::filesystem::exists(dir / "logs" / partName));
}

// A stand-in for LibreOffice that changes the log while it "converts" the main document, and gives a real
// OpenDocument main document for it.
struct OfficeThatChangesTheLog {
    OfficeThatChangesTheLog(const TempDir& dir, const std::filesystem::path& log)
        : bin(dir / "office")
    {
        std::filesystem::create_directories(bin);
        const auto script = bin / "soffice";
        const std::string example = std::string(CARDMILL_SOURCE_DIR) + "/examples/card_1.odt";
        std::ofstream(script) << "#!/bin/sh\nout=; prev=; for a in \"$@\"; do [ \"$prev\" = --outdir ] && out=$a; "
                                 "prev=$a; last=$a; done\n"
                              << "{ echo '<EOH>'; echo '<CALL:5>SP9NW<QSO_DATE:8>20240101<TIME_ON:4>1200<BAND:3>20M"
                                 "<MODE:2>CW<EOR>'; tail -n +2 '"
                              << log.string() << "'; } > '" << log.string() << ".new' && mv '" << log.string()
                              << ".new' '" << log.string() << "'\n"
                              << "cp '" << example << "' \"$out/$(basename \"$last\" .doc).odt\"\n";
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    }
    std::filesystem::path bin;
};

TEST(ConvertProcesses, ALogChangedDuringTheRunIsNotMarked)
{
    TempDir dir;
    const DocRun run(dir);
    const OfficeThatChangesTheLog office(dir, run.log);
    std::vector<std::string> args = run.args();
    args.push_back("--mark-sent");
    const pid_t pid = start(args, dir / "out", run.tmp, office.bin.string());
    EXPECT_EQ(exitCode(pid), ExitAbandoned) << readFile(dir / "out");
    const std::string out = readFile(dir / "out");
    EXPECT_NE(out.find("changed while its labels were made"), std::string::npos) << out;
    EXPECT_NE(out.find("No QSO was marked as sent"), std::string::npos) << out;
    EXPECT_TRUE(std::filesystem::exists(dir / "logs" / "my_labels_1.odt")); // the labels are made
    EXPECT_FALSE(std::filesystem::exists(dir / "logs" / "my_sent.adi"));
    EXPECT_FALSE(std::filesystem::exists(dir / "logs" / "my_updated.adi"));
    EXPECT_EQ(readFile(run.log).find("<CALL:5>SP9NW"), 6u); // the log as the change left it
}

TEST(ConvertProcesses, ASignalWhileMarkingEndsTheRunWithNothingHalfWritten)
{
    TempDir dir;
    // Long records, so that the marking takes long enough to be met.
    std::string log = "<EOH>\n<CALL:5>DL1AA<QSO_DATE:8>2O240101<EOR>\n"; // a bad date: a bad record
    const std::string comment = "<COMMENT:400>" + std::string(400, 'x');
    for (int i = 0; i < 150000; ++i)
        log += "<CALL:6>DL" + std::to_string(100000 + i % 900000).substr(2) +
               "AA<QSO_DATE:8>20240101<TIME_ON:4>1200"
               "<BAND:3>20M<MODE:2>CW" +
               comment + "<EOR>\n";
    const auto path = dir.write("logs/my.adi", log);
    dir.write("logs/my_sent.adi", "earlier");
    dir.write("logs/my_updated.adi", "earlier");
    std::filesystem::create_directories(dir / "tmp");
    const pid_t pid = start({"--log", path.string(), "--no-merge", "--mark-sent"}, dir / "out", dir / "tmp");
    bool met = false;
    waitFor([&] {
        std::error_code ec;
        for (const auto& e : std::filesystem::directory_iterator(dir / "logs", ec))
            if (e.path().filename().string().starts_with(".my_updated.adi.cardmill-")) {
                ::kill(pid, SIGINT);
                met = true;
            }
        return met;
    });
    const int code = exitCode(pid);
    if (!met)
        GTEST_SKIP() << "the marking ended before it could be met";
    EXPECT_EQ(code, ExitStopped) << readFile(dir / "out");
    EXPECT_EQ(readFile(dir / "logs" / "my_sent.adi"), "earlier");
    EXPECT_EQ(readFile(dir / "logs" / "my_updated.adi"), "earlier");
    EXPECT_NE(readFile(dir / "logs" / "my_bad.txt").find("Error in QSO_DATE field"), std::string::npos);
    for (const auto& e : std::filesystem::directory_iterator(dir / "logs"))
        EXPECT_EQ(e.path().filename().string().find(".cardmill-"), std::string::npos) << e.path();
}

} // namespace
} // namespace cardmill
