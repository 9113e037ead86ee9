#include "LogGenerator.h"

#include <array>
#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>

namespace cardmill::bench {

namespace {

// A small deterministic generator, so that runs compare.
class Random {
public:
    std::uint32_t next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }
    std::size_t below(std::size_t n) { return next() % n; }

private:
    std::uint32_t m_state = 2463534242u;
};

void field(std::string& out, std::string_view name, std::string_view value, bool lower, std::string_view type = {})
{
    out.push_back('<');
    for (char c : name)
        out.push_back(lower && c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
    out.push_back(':');
    out.append(std::to_string(value.size()));
    out.append(type);
    out.push_back('>');
    out.append(value);
    out.push_back(' ');
}

} // namespace

void writeSyntheticLog(const std::filesystem::path& path, std::size_t qsos, bool readable)
{
    // clang-format off
    static constexpr std::array<std::string_view, 8> names{
        "Jan",     "Kowalski, Piotr", "\xa3ukasz" /* Windows-1250 */, "\xc5\x81ukasz" /* UTF-8 */,
        "Hans",    "Zdzis\xb3\x61w",  "Jos\xc3\xa9",                 "Bob"};
    static constexpr std::array<std::string_view, 6> qths{"Pozna\xf1", "Krak\xc3\xb3w", "Berlin", "Praha",
                                                          "New York, NY", "Gda\xf1sk"};
    static constexpr std::array<std::string_view, 6> modes{"SSB", "CW", "FT8", "RTTY", "FM", "PSK31"};
    static constexpr std::array<std::string_view, 8> freqs{"14.025", "7.012", "3.7991", "21.074",
                                                           "28.400", "1.838",  "144.300", "50.313"};
    static constexpr std::array<std::string_view, 8> bands{"20M", "40m", "80M", "15M", "10m", "160M", "2M", "6M"};
    static constexpr std::array<std::string_view, 4> flags{"Y", "N", "R", "I"};
    // clang-format on

    std::ofstream out(path, std::ios::binary);
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
    out << "Synthetic log for benchmarks\r\n<ADIF_VER:5>3.1.4\r\n<PROGRAMID:8>CARDMILL\r\n<EOH>\r\n";

    Random rnd;
    std::string rec;
    const std::size_t stations = qsos / 3 + 1; // about three QSOs per station
    for (std::size_t i = 0; i < qsos; ++i) {
        rec.clear();
        const bool lower = rnd.below(4) == 0;
        const std::size_t st = rnd.below(stations);
        std::string call = "SP" + std::to_string(st % 10) + static_cast<char>('A' + st % 26) +
                           static_cast<char>('A' + (st / 26) % 26) + static_cast<char>('A' + (st / 676) % 26);
        const bool swl = rnd.below(50) == 0;
        if (swl)
            call += "_SWL";
        field(rec, "CALL", call, lower);
        const std::size_t day = rnd.below(3650);
        const std::string date = std::to_string(2010 + day / 365) + (day % 365 / 31 + 1 < 10 ? "0" : "") +
                                 std::to_string(day % 365 / 31 + 1) + (day % 28 + 1 < 10 ? "0" : "") +
                                 std::to_string(day % 28 + 1);
        field(rec, "QSO_DATE", date, lower, rnd.below(3) == 0 ? ":D" : "");
        std::string time = std::to_string(100000 + rnd.below(235959 - 100000));
        field(rec, "TIME_ON", time, lower);
        const std::size_t b = rnd.below(bands.size());
        field(rec, "BAND", bands[b], lower);
        if (rnd.below(2) == 0)
            field(rec, "FREQ", freqs[b], lower);
        rec += "\r\n";
        const bool bad = rnd.below(200) == 0;
        if (!bad)
            field(rec, "MODE", modes[rnd.below(modes.size())], lower);
        field(rec, "RST_SENT", rnd.below(2) ? "59" : "599", lower);
        field(rec, "RST_RCVD", "57", lower);
        field(rec, "QSL_SENT", flags[rnd.below(flags.size())], lower);
        field(rec, "QSL_RCVD", flags[rnd.below(flags.size())], lower);
        if (rnd.below(3) == 0)
            field(rec, "QSL_VIA", "W3HNK", lower);
        rec += "\r\n";
        field(rec, "NAME", names[rnd.below(names.size())], lower, rnd.below(4) == 0 ? ":S" : "");
        field(rec, "QTH", qths[rnd.below(qths.size())], lower);
        if (rnd.below(5) == 0)
            field(rec, "CONTEST_ID", "SP-DX-CONTEST", lower);
        field(rec, "GRIDSQUARE", "JO82", lower);
        field(rec, "COMMENT", swl ? "SWL report WKD: DL1ABC 599" : "tnx fer QSO, 73", lower);
        if (bad && rnd.below(2) == 0 && !readable)
            rec += "<STATE:x>NY ";
        rec += lower ? "<eor>\r\n\r\n" : "<EOR>\r\n\r\n";
        out << rec;
    }
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

} // namespace cardmill::bench
