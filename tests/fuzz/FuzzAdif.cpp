// Fuzzes the ADIF reader and the label line composer with arbitrary files and settings.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "engine/AdifReader.h"
#include "engine/LineComposer.h"
#include "engine/QsoFilters.h"
#include "engine/RunRequest.h"

namespace {

using namespace cardmill;

// A format and filters chosen by the input's first byte.
LineFormat formatFor(std::uint8_t bits)
{
    LineFormat f;
    f.qrg = qrgFormatAt(bits & 7);
    f.dateFormat = *DateFormat::of((bits >> 3) % 5);
    f.separator = (bits & 0x40) ? "," : "-";
    f.userFields = {"COMMENT", "A:B", "X"};
    return f;
}

QsoFilterChoice filtersFor(std::uint8_t bits)
{
    QsoFilterChoice c;
    c.dateRange = bits & 0x80;
    c.from = {2000, 1, 1};
    c.to = {2030, 12, 31};
    QslFlagChoice& sent = c.flags(QslFilter::Sent);
    sent.on = bits & 0x10;
    for (QslBox b : {QslBox::Y, QslBox::R, QslBox::I, QslBox::L, QslBox::A, QslBox::Blank})
        sent.tick(b);
    c.callOn = bits & 0x20;
    c.call = "SP1ABC";
    return c;
}

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
    if (std::FILE* f = std::fopen(log.c_str(), "wb")) {
        std::fwrite(data + 1, 1, size - 1, f);
        std::fclose(f);
    }
    BadRecordsFile bad(badPath);
    bad.create();
    const LineFormat format = formatFor(data[0]);
    const QsoFilters filters(filtersFor(data[0]));
    LineComposer composer(format, filters, bad);
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
