#pragma once

#include <gtest/gtest.h>

#include <string>

#include "engine/ConversionRun.h"
#include "support/FakeHost.h"
#include "support/RecordingLabelMaker.h"
#include "support/TempDir.h"

namespace cardmill::test {

// One ADIF record of a CW QSO on 20 m.
inline std::string record(const std::string& call, const std::string& date = "20060923",
                          const std::string& time = "1200", const std::string& extra = "")
{
    return "<CALL:" + std::to_string(call.size()) + ">" + call + " <QSO_DATE:8>" + date +
           " <TIME_ON:" + std::to_string(time.size()) + ">" + time + " <BAND:3>20M <MODE:2>CW <RST_SENT:3>599" + extra +
           " <EOR>\r\n";
}

// A run over a log in a temporary folder, with a recording host and label maker. The main documents of every
// size lie in the folder.
class RunFixture : public ::testing::Test {
protected:
    RunFixture()
    {
        std::filesystem::create_directories(dir / "exe");
        host.log = dir / "logs" / "my.log.adi";
        host.mainDocument = dir.write("card_1.doc", "main document");
        for (const char* k : {"2", "3", "4", "5", "6", "7", "8", "9", "10", "swl"})
            dir.write(std::string("card_") + k + ".doc", "main document");
    }

    static std::string qso(const std::string& call, const std::string& date = "20060923",
                           const std::string& time = "1200", const std::string& extra = "")
    {
        return record(call, date, time, extra);
    }
    void writeLog(const std::string& records) { dir.write("logs/my.log.adi", "header <EOH>\r\n" + records); }

    RunOutcome runIt() { return host.runWith(run); }

    // A data-source file of the run by size (0 for SWL), or "<none>" when it does not exist.
    std::string output(int size) const
    {
        std::filesystem::path p = dir / "logs" / "my";
        p += size == 0 ? std::string("_swl.txt") : "_" + std::to_string(size) + ".txt";
        return std::filesystem::exists(p) ? readFile(p) : "<none>";
    }
    std::filesystem::path file(const std::string& suffix) const { return dir / "logs" / ("my" + suffix); }

    TempDir dir;
    FakeHost host;
    RecordingLabelMaker maker;
    ConversionRun run{&maker};
};

// The header line of the data-source files without user fields, with its line end.
inline const std::string kHeader =
    "CALL,QSO_DATE,TIME_ON,BAND,MODE,RST_SENT,QSL_RCVD,QSL_VIA,NAME,QTH,OPERATOR,CONTEST_ID,CALL_WORKED\r\n";

// The label line that RunFixture::qso gives, with its line end.
inline std::string line(const std::string& call, const std::string& date = "2006-09-23",
                        const std::string& time = "12:00", const std::string& worked = "")
{
    return call + "," + date + "," + time + ",20M,CW,599,N,,,,,," + worked + "\r\n";
}

} // namespace cardmill::test
