#include "merge/TableDocument.h"

#include <algorithm>

#include "merge/Template.h"
#include "merge/TextDecoding.h"
#include "merge/XmlPart.h"
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

const char* kRootRels = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
                        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                        "<Relationship Id=\"rId1\" "
                        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
                        "Target=\"word/document.xml\"/></Relationships>";

} // namespace

void writeTableDocument(const std::filesystem::path& path, const PassRecords& records)
{
    std::size_t columns = std::max<std::size_t>(1, records.columns().size());
    for (std::size_t r = 0; r < records.size(); ++r)
        columns = std::max<std::size_t>(
            columns, 1 + static_cast<std::size_t>(std::count(records.line(r).begin(), records.line(r).end(), ',')));
    const int width = static_cast<int>(15706 / columns); // the text width of a landscape A4 page, in twips

    ZipWriter zip(path);
    zip.add("[Content_Types].xml", kContentTypes);
    zip.add("_rels/.rels", kRootRels);
    zip.begin("word/document.xml");
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

    auto row = [&](auto valueAt) {
        xml += "<w:tr>";
        for (std::size_t c = 0; c < columns; ++c) {
            xml += "<w:tc><w:p>";
            const std::string v = valueAt(c);
            if (!v.empty()) {
                const bool blankEnds = v.front() == ' ' || v.back() == ' ';
                xml += blankEnds ? "<w:r><w:t xml:space=\"preserve\">" : "<w:r><w:t>";
                xml += xmlEscape(v);
                xml += "</w:t></w:r>";
            }
            xml += "</w:p></w:tc>";
        }
        xml += "</w:tr>";
        zip.write(xml);
        xml.clear();
    };
    row([&](std::size_t c) { return c < records.columns().size() ? records.columns()[c] : std::string(); });
    for (std::size_t r = 0; r < records.size(); ++r)
        row([&](std::size_t c) { return decodeValue(records.value(r, c)); });
    zip.write("</w:tbl><w:p/><w:sectPr><w:pgSz w:w=\"16838\" w:h=\"11906\" w:orient=\"landscape\"/>"
              "<w:pgMar w:top=\"566\" w:right=\"566\" w:bottom=\"566\" w:left=\"566\" w:header=\"709\" "
              "w:footer=\"709\" w:gutter=\"0\"/></w:sectPr></w:body></w:document>");
    zip.close();
}

} // namespace cardmill
