#include "engine/QrgFormatter.h"

#include <array>

#include "engine/Text.h"

namespace cardmill {

namespace {

// The value of a BAND or FREQ tag: from the tag's ">" to the next "<", trimmed. The declared length is not
// used. Taken from the upper-cased copy.
std::string_view tagValue(const AdifRecord& record, const FieldName& name)
{
    const std::size_t p = record.find(name);
    if (p == std::string_view::npos)
        return {};
    const std::string_view upper = record.upper();
    const std::size_t gt = record.findByte('>', p + name.size() + 1);
    const std::size_t start = gt == std::string_view::npos ? p + 1 : gt + 1;
    const std::size_t end = record.findByte('<', start);
    return text::trim(upper.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

constexpr FieldName kBand = "BAND";
constexpr FieldName kFreq = "FREQ";

// A FREQ value brought to three decimals (see normaliseFrequency), kept in a small buffer for the usual
// short values and in a string for the rest.
class NormalFrequency {
public:
    explicit NormalFrequency(std::string_view freq)
    {
        std::size_t dot = std::string_view::npos;
        for (std::size_t i = 0; i < freq.size() && dot == std::string_view::npos; ++i)
            if (freq[i] == '.' || freq[i] == ',')
                dot = i;
        const std::size_t size = dot == std::string_view::npos ? freq.size() : dot + 4;
        char* out = m_small;
        if (size > sizeof m_small) {
            m_large.resize(size);
            out = m_large.data();
        }
        const std::size_t copied = size < freq.size() ? size : freq.size();
        for (std::size_t i = 0; i < copied; ++i)
            out[i] = freq[i] == ',' ? '.' : freq[i];
        for (std::size_t i = copied; i < size; ++i)
            out[i] = '0';
        m_text = std::string_view(out, size);
    }
    NormalFrequency(const NormalFrequency&) = delete;
    NormalFrequency& operator=(const NormalFrequency&) = delete;

    std::string_view text() const { return m_text; }

private:
    char m_small[32];
    std::string m_large;
    std::string_view m_text;
};

// The text brought to exactly three decimals ("14" -> "14.000"), its point then deleted: kilohertz.
void appendKilohertz(LineWriter& out, std::string_view frequency)
{
    const std::size_t dot = text::findChar(frequency, '.');
    const std::string_view decimals = dot == std::string_view::npos ? std::string_view() : frequency.substr(dot + 1, 3);
    out.value(frequency.substr(0, dot));
    out.value(decimals);
    out.value(std::string_view("000", 3 - decimals.size()));
}

struct Entry {
    std::string_view key;
    std::string_view value;
};

template <std::size_t N>
std::string_view lookUp(const std::array<Entry, N>& table, std::string_view key)
{
    for (const Entry& entry : table)
        if (entry.key == key)
            return entry.value;
    return {};
}

} // namespace

std::string normaliseFrequency(std::string_view freq)
{
    return std::string(NormalFrequency(freq).text());
}

std::string_view bandToFrequency(std::string_view band)
{
    // clang-format off
    static constexpr std::array<Entry, 12> table{{
        {"160M", "1.8"}, {"80M", "3.5"}, {"40M", "7"},  {"30M", "10"}, {"20M", "14"},  {"17M", "18"},
        {"15M", "21"},   {"12M", "24"},  {"10M", "28"}, {"6M", "50"},  {"2M", "144"}, {"70CM", "430"},
    }};
    // clang-format on
    return lookUp(table, band);
}

std::string_view frequencyToBand(std::string_view frequency)
{
    const std::string_view w = frequency.substr(0, text::findChar(frequency, '.'));
    // clang-format off
    static constexpr std::array<Entry, 14> table{{
        {"1", "160M"}, {"3", "80M"},  {"7", "40M"},  {"10", "30M"}, {"14", "20M"}, {"18", "17M"}, {"21", "15M"},
        {"24", "12M"}, {"28", "10M"}, {"29", "10M"}, {"50", "6M"},  {"144", "2M"}, {"145", "2M"},
        {"430", "70CM"},
    }};
    // clang-format on
    if (const std::string_view band = lookUp(table, w); !band.empty())
        return band;
    if (w.size() == 3 && w[0] == '4' && w[1] == '3' && w[2] >= '0' && w[2] <= '9')
        return "70CM";
    return {};
}

bool appendQrg(LineWriter& out, const AdifRecord& record, QrgFormat format)
{
    std::string_view band = tagValue(record, kBand);
    const NormalFrequency normal(tagValue(record, kFreq));
    std::string_view frequency = normal.text();
    const bool information = !band.empty() || !frequency.empty();
    if (!band.empty() && frequency.empty())
        frequency = bandToFrequency(band);
    else if (band.empty() && !frequency.empty())
        band = frequencyToBand(frequency);
    const std::size_t dot = text::findChar(frequency, '.');
    const bool hasDot = dot != std::string_view::npos;
    const std::size_t start = out.size();
    using F = QrgFormat;
    switch (format) {
    case F::Meters:
        out.value(band);
        out.eraseFirst(start, "CM");
        out.eraseFirst(start, "M");
        break;
    case F::MetersWithUnit: out.value(band); break;
    case F::MHz:
    case F::MHzWithUnit:
        out.value(hasDot ? frequency.substr(0, band == "160M" || band == "80M" ? dot + 2 : dot) : frequency);
        if (format == F::MHzWithUnit)
            out.value(" MHz");
        break;
    case F::ExactMHz: out.value(frequency); break;
    case F::ExactMHzWithUnit:
        out.value(frequency);
        out.value(" MHz");
        break;
    case F::ExactKHz:
        if (!frequency.empty())
            appendKilohertz(out, frequency);
        break;
    case F::ExactKHzWithUnit:
        out.value(frequency);
        if (hasDot && frequency.size() > 3)
            out.eraseFirst(start, ".");
        out.value(out.size() - start > 3 ? " kHz" : " MHz");
        break;
    }
    return information;
}

} // namespace cardmill
