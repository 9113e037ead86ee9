#include "merge/TableDocument.h"

#include <pugixml.hpp>

#include <stdexcept>

#include "merge/Zip.h"

namespace cardmill {

namespace {

const char* kContentTypes =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
    "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
    "<Override PartName=\"/word/document.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
    "</Types>";

const char* kRootRels =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
    "Target=\"word/document.xml\"/></Relationships>";

} // namespace

void writeTableDocument(const std::filesystem::path& path, const std::vector<std::vector<std::string>>& rows)
{
    std::size_t columns = 1;
    for (const auto& row : rows)
        columns = std::max(columns, row.size());
    const int width = static_cast<int>(15706 / columns); // the text width of a landscape A4 page, in twips

    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
        "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body><w:tbl>"
        "<w:tblPr><w:tblStyle w:val=\"TableGrid\"/><w:tblW w:w=\"0\" w:type=\"auto\"/><w:tblBorders>"
        "<w:top w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"000000\"/>"
        "<w:left w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"000000\"/>"
        "<w:bottom w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"000000\"/>"
        "<w:right w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"000000\"/>"
        "<w:insideH w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"000000\"/>"
        "<w:insideV w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"000000\"/>"
        "</w:tblBorders></w:tblPr><w:tblGrid>";
    for (std::size_t c = 0; c < columns; ++c)
        xml += "<w:gridCol w:w=\"" + std::to_string(width) + "\"/>";
    xml += "</w:tblGrid>";
    for (const auto& row : rows) {
        xml += "<w:tr>";
        // Lean cells (the grid gives the widths): the table of a large run is read back whole.
        for (std::size_t c = 0; c < columns; ++c) {
            xml += "<w:tc><w:p>";
            if (c < row.size() && !row[c].empty()) {
                const std::string& v = row[c];
                const bool blankEnds = v.front() == ' ' || v.back() == ' ';
                xml += blankEnds ? "<w:r><w:t xml:space=\"preserve\">" : "<w:r><w:t>";
                xml += xmlEscape(v);
                xml += "</w:t></w:r>";
            }
            xml += "</w:p></w:tc>";
        }
        xml += "</w:tr>";
    }
    xml += "</w:tbl><w:p/><w:sectPr><w:pgSz w:w=\"16838\" w:h=\"11906\" w:orient=\"landscape\"/>"
           "<w:pgMar w:top=\"566\" w:right=\"566\" w:bottom=\"566\" w:left=\"566\" w:header=\"709\" "
           "w:footer=\"709\" w:gutter=\"0\"/></w:sectPr></w:body></w:document>";

    ZipWriter zip(path);
    zip.add("[Content_Types].xml", kContentTypes);
    zip.add("_rels/.rels", kRootRels);
    zip.add("word/document.xml", std::move(xml));
    zip.close();
}

MergeRecords readTableDocument(const std::filesystem::path& path)
{
    ZipContents package = readZip(path);
    const auto it = package.entries.find("word/document.xml");
    if (it == package.entries.end())
        throw std::runtime_error("\"" + path.string() + "\": the data source holds no document");
    // Parsed in place: a large table is not held twice.
    pugi::xml_document doc;
    if (!doc.load_buffer_inplace(it->second.data(), it->second.size(),
                                 pugi::parse_default | pugi::parse_ws_pcdata_single))
        throw std::runtime_error("\"" + path.string() + "\": the data source is not well-formed");
    const pugi::xml_node table = doc.document_element().child("w:body").child("w:tbl");
    if (!table)
        throw std::runtime_error("\"" + path.string() + "\": the data source holds no table");
    MergeRecords records;
    bool header = true;
    for (pugi::xml_node tr : table.children("w:tr")) {
        std::vector<std::string> row;
        for (pugi::xml_node tc : tr.children("w:tc")) {
            std::string cell;
            for (pugi::xml_node p : tc.children("w:p"))
                for (pugi::xml_node r : p.children("w:r"))
                    for (pugi::xml_node t : r.children("w:t"))
                        cell += t.text().get();
            row.push_back(std::move(cell));
        }
        if (header)
            records.names = std::move(row);
        else
            records.rows.push_back(std::move(row));
        header = false;
    }
    return records;
}

} // namespace cardmill
