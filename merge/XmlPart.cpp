#include "merge/XmlPart.h"

#include "engine/TempFiles.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace cardmill {

namespace {

struct StringWriter : pugi::xml_writer {
    std::string out;
    void write(const void* data, std::size_t size) override { out.append(static_cast<const char*>(data), size); }
};

} // namespace

pugi::xml_document parsePart(const std::string& xml, const std::string& partName)
{
    pugi::xml_document doc;
    const pugi::xml_parse_result r = doc.load_buffer(xml.data(), xml.size(), kPartParseFlags, pugi::encoding_utf8);
    if (!r)
        throw std::runtime_error("the part " + partName + " is not well-formed XML (" + r.description() +
                                 " at offset " + std::to_string(r.offset) + ")");
    // Measured without recursion; what follows (removing nodes, merging) may recurse once per level.
    std::size_t depth = 0;
    for (pugi::xml_node n = doc.first_child(); n;) {
        if (n.first_child()) {
            n = n.first_child();
            if (++depth > kMaxPartDepth)
                throw std::runtime_error("the part " + partName + " nests its elements more than " +
                                         std::to_string(kMaxPartDepth) + " deep, which no word processor does");
            continue;
        }
        while (n && !n.next_sibling()) {
            n = n.parent();
            --depth;
        }
        if (n)
            n = n.next_sibling();
    }
    return doc;
}

void appendEscaped(std::string& out, std::string_view text, bool attribute)
{
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (attribute && c == '"')
            out += "&quot;";
        else if (u < 0x20 && c != '\t' && c != '\n' && c != '\r')
            continue; // not allowed in XML 1.0
        else if (attribute && (c == '\t' || c == '\n' || c == '\r'))
            out += c == '\t' ? "&#9;" : c == '\n' ? "&#10;" : "&#13;";
        else
            out.push_back(c);
    }
}

void appendStartTag(std::string& out, pugi::xml_node element, const char* skip)
{
    out += '<';
    out += element.name();
    for (pugi::xml_attribute a : element.attributes()) {
        if (skip && std::strcmp(a.name(), skip) == 0)
            continue;
        out += ' ';
        out += a.name();
        out += "=\"";
        appendEscaped(out, a.value(), true);
        out += '"';
    }
}

std::string printXml(pugi::xml_node node)
{
    StringWriter w;
    node.print(w, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return w.out;
}

std::string saveXml(const pugi::xml_document& doc)
{
    StringWriter w;
    doc.save(w, "", pugi::format_raw, pugi::encoding_utf8);
    return w.out;
}

TempFile::TempFile()
{
    std::string error;
    m_file = scratchFile("merge", m_path, error);
    if (!m_file)
        throw std::runtime_error("no temporary file for the merge (" + error + ")");
}

TempFile::~TempFile()
{
    if (m_file)
        std::fclose(m_file);
    std::error_code ec;
    std::filesystem::remove(m_path, ec);
}

void TempFile::write(const std::string& text)
{
    if (!text.empty() && std::fwrite(text.data(), 1, text.size(), m_file) != text.size())
        throw std::runtime_error(std::string("the merged document cannot be written (") + std::strerror(errno) + ")");
}

void TempFile::finish()
{
    const int r = std::fclose(m_file);
    m_file = nullptr;
    if (r != 0)
        throw std::runtime_error("the merged document cannot be written");
}

} // namespace cardmill
