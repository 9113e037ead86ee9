#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The scans over whole log text, the one place where the reading works sixteen bytes at a time. Each fast
// form has its plain reference form beside it; the tests hold the two equal at every alignment and length,
// and the fast form is used only where the reading benchmark showed it worth a tenth of the whole
// conversion. Without SSE2 (or with CARDMILL_PORTABLE_SCANS, as the sanitizer build sets so that the tests
// run the plain forms too) the fast form is the plain one.
namespace cardmill::scan {

// The record text upper-cased (a to z only) into `upper`, and the position of every "<" into `opens`.
void upperNotingOpens(std::string_view text, std::string& upper, std::vector<std::uint32_t>& opens);
void upperNotingOpensPlain(std::string_view text, std::string& upper, std::vector<std::uint32_t>& opens);

// The first record marker (`marker` five bytes such as "<EOR>", in capitals) in `text` from `from` on, in any
// letter case; npos when there is none.
std::size_t findMarker(std::string_view text, std::string_view marker, std::size_t from);
std::size_t findMarkerPlain(std::string_view text, std::string_view marker, std::size_t from);

} // namespace cardmill::scan
