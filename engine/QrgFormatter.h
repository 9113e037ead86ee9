#pragma once

#include <array>
#include <string>
#include <string_view>

#include "engine/AdifRecord.h"
#include "engine/LineWriter.h"

namespace cardmill {

// The QRG formats, in list order. The English texts are the ones the settings file stores.
//   0 "QRG in meters"                band without its unit: "20"
//   1 "QRG in meters with 'M'"       band as logged: "20M", "70CM"
//   2 "QRG in MHz"                   whole MHz, one decimal on 160M and 80M: "14", "3.5"
//   3 "QRG in MHz with 'MHz'"        as 2, then " MHz"
//   4 "Exact QRG in MHz"             the frequency to three decimals: "14.025"
//   5 "Exact QRG in MHz with 'MHz'"  as 4, then " MHz"
//   6 "Exact QRG in kHz"             the frequency in kHz: "14025"
//   7 "Exact QRG in kHz with 'kHz'"  as 6 with " kHz"; a short text gets " MHz" instead
enum class QrgFormat {
    Meters,
    MetersWithUnit,
    MHz,
    MHzWithUnit,
    ExactMHz,
    ExactMHzWithUnit,
    ExactKHz,
    ExactKHzWithUnit,
};
inline constexpr int kQrgFormatCount = 8;

// The formats' English names, in list order: the texts the settings file stores and the lists show.
inline constexpr std::array<std::string_view, kQrgFormatCount> kQrgFormatNames{
    "QRG in meters",    "QRG in meters with 'M'",      "QRG in MHz",       "QRG in MHz with 'MHz'",
    "Exact QRG in MHz", "Exact QRG in MHz with 'MHz'", "Exact QRG in kHz", "Exact QRG in kHz with 'kHz'"};

// The format at a list position 0 to 7 (others give the default, "QRG in meters with 'M'").
constexpr QrgFormat qrgFormatAt(int index)
{
    return index >= 0 && index < kQrgFormatCount ? static_cast<QrgFormat>(index) : QrgFormat::MetersWithUnit;
}

// Writes the record's band and frequency into a label line in a format (commas become blanks); returns false
// when the record has neither a BAND nor a FREQ value. When the record gives only one of the two, the other
// is taken from the band plan tables, so every format works with either field alone.
bool appendQrg(LineWriter& out, const AdifRecord& record, QrgFormat format);

// The frequency text of a FREQ value: "," read as ".", and a text with a "." brought to exactly three
// decimals by truncation ("14.1" -> "14.100", "7.0255" -> "7.025"); a text without "." stays as it is.
std::string normaliseFrequency(std::string_view freq);

// The nominal frequency of a band ("20M" -> "14"), or empty for a band outside the table.
std::string_view bandToFrequency(std::string_view band);

// The band of a frequency by its whole-MHz part ("14.025" -> "20M"), or empty.
std::string_view frequencyToBand(std::string_view frequency);

} // namespace cardmill
