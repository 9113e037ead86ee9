#pragma once

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include <pugixml.hpp>

namespace cardmill {

// How document parts are read: all text is kept, whitespace-only text too (OpenDocument keeps a blank between
// two fields as it stands), and the XML declaration is kept.
inline constexpr unsigned kPartParseFlags = pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata;

// Documents nest their elements a few dozen deep; deeper ones are refused (see parsePart).
inline constexpr std::size_t kMaxPartDepth = 2000;

// Parses a part of a document package. Throws std::runtime_error naming the part when it is not well-formed or
// nests its elements more than kMaxPartDepth deep.
pugi::xml_document parsePart(const std::string& xml, const std::string& partName);

// Whether `n` is an element of the qualified name `name` ("w:p", "text:p").
inline bool named(pugi::xml_node n, const char* name)
{
    return n.type() == pugi::node_element && std::strcmp(n.name(), name) == 0;
}

// Visits every element below `root` in document order, without recursion. `visit` returns false to pass over
// an element's children.
template <typename Visit>
void walk(pugi::xml_node root, Visit&& visit)
{
    pugi::xml_node n = root.first_child();
    while (n) {
        const bool descend = n.type() == pugi::node_element && visit(n);
        if (descend && n.first_child()) {
            n = n.first_child();
            continue;
        }
        while (n && n != root && !n.next_sibling())
            n = n.parent();
        if (!n || n == root)
            break;
        n = n.next_sibling();
    }
}

// A node, or a whole document, as XML text without added white space.
std::string printXml(pugi::xml_node node);
std::string saveXml(const pugi::xml_document& doc);

// Appends text escaped for XML character data (or, with `attribute`, for a double-quoted attribute value);
// characters XML does not allow are left out.
void appendEscaped(std::string& out, std::string_view text, bool attribute = false);
// Appends an element's start tag without its closing ">" ("<w:p w:rsidR=\"00A1\""), leaving out the
// attribute `skip` when given.
void appendStartTag(std::string& out, pugi::xml_node element, const char* skip = nullptr);

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
