#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

#include <pugixml.hpp>

namespace cardmill {

// How document parts are read: whitespace-only text is kept where it is an element's only content (a blank in
// a text run), and the XML declaration is kept.
inline constexpr unsigned kPartParseFlags =
    pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata_single;

// Documents nest their elements a few dozen deep; deeper ones are refused (see parsePart).
inline constexpr std::size_t kMaxPartDepth = 2000;

// Parses a part of a document package. Throws std::runtime_error naming the part when it is not well-formed or
// nests its elements more than kMaxPartDepth deep.
pugi::xml_document parsePart(const std::string& xml, const std::string& partName);

// A node, or a whole document, as XML text without added white space.
std::string printXml(pugi::xml_node node);
std::string saveXml(const pugi::xml_document& doc);

// A temporary file that a large merged part is written to as it is made; removed when destroyed.
class TempFile {
public:
    TempFile();
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    // Throws std::runtime_error when the disk takes no more.
    void write(const std::string& text);
    // Closes the file for reading; throws std::runtime_error when its last bytes could not be written.
    void finish();
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
    std::FILE* m_file = nullptr;
};

} // namespace cardmill
