#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "merge/Zip.h"

namespace cardmill::test {

// A minimal WordprocessingML main document: `body` is the content of <w:body> (a w:sectPr is added when the
// body has none), `headers` the header parts as name -> XML.
void writeDocx(const std::filesystem::path& path, const std::string& body,
               const std::vector<std::pair<std::string, std::string>>& headers = {}, const std::string& settings = "");

// The text of a merged document: one line per paragraph (w:t texts joined), "|" for a section break.
std::string documentText(const std::filesystem::path& docx);

// A paragraph with the given runs XML.
std::string para(const std::string& runs);
// A run of literal text.
std::string text(const std::string& t);
// A complex field whose instruction is split into the given pieces, with an empty cached result.
std::string complexField(const std::vector<std::string>& instructionPieces, const std::string& rPr = "");
// A simple field.
std::string simpleField(const std::string& instruction);

} // namespace cardmill::test
