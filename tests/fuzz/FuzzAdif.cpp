// Fuzzes the ADIF reader and the label line composer with arbitrary files and settings.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "engine/AdifReader.h"
#include "engine/LineComposer.h"

namespace {

using namespace cardmill;

class FuzzSettings : public ConversionSettings {
public:
    explicit FuzzSettings(std::uint8_t bits)
        : m_bits(bits)
    {
    }
    QrgFormat qrgFormat() const override { return qrgFormatAt(m_bits & 7); }
    int dateFormatIndex() const override { return (m_bits >> 3) % 5; }
    std::string dateSeparator() const override { return (m_bits & 0x40) ? "," : "-"; }
    void userFieldsInto(std::vector<std::string>& out) const override { out = {"COMMENT", "A:B", "X"}; }
    bool dateRangeEnabled() const override { return m_bits & 0x80; }
    PickerDate dateFrom() const override { return {2000, 1, 1}; }
    PickerDate dateTo() const override { return {2030, 12, 31}; }
    bool qslFilterEnabled(QslFilter f) const override { return (m_bits & 0x10) && f == QslFilter::Sent; }
    bool qslBoxTicked(QslFilter, QslBox b) const override { return b != QslBox::N; }
    bool callFilterEnabled() const override { return m_bits & 0x20; }
    std::string callFilterText() const override { return "SP1ABC"; }

private:
    std::uint8_t m_bits;
};

std::filesystem::path scratch(const char* name)
{
    return std::filesystem::temp_directory_path() / (std::string("cardmill-fuzz-") + std::to_string(getpid()) + name);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::filesystem::path log = scratch(".adi");
    static const std::filesystem::path badPath = scratch("_bad.txt");
    if (size == 0)
        return 0;
    FuzzSettings settings(data[0]);
    if (std::FILE* f = std::fopen(log.c_str(), "wb")) {
        std::fwrite(data + 1, 1, size - 1, f);
        std::fclose(f);
    }
    BadRecordsFile bad(badPath);
    bad.create();
    QsoFilters filters(settings);
    filters.startRun();
    LineComposer composer(settings, filters, bad);
    AdifReader reader(log);
    reader.skipHeader();
    AdifRecord record;
    std::string line;
    while (reader.nextRecord(record)) {
        composer.composeQso(record, line);
        composer.composeSwl(record, line);
    }
    return 0;
}
