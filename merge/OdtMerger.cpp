#include "merge/OdtMerger.h"

#include "merge/XmlPart.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <stdexcept>
#include <unistd.h>

namespace cardmill {

namespace {

constexpr const char* kBreakStyle = "cmPageBreak";

} // namespace

void mergeOdt(const ZipContents& main, const PassRecords& records, const std::filesystem::path& output,
              const LabelMaker::Progress& progress)
{
    if (!main.has("content.xml"))
        throw std::runtime_error("the package has no content.xml: it is not an OpenDocument text");
    const CompiledDocument compiled = compileOdtContent(main.entries.at("content.xml"), kBreakStyle);

    // Master pages whose header or footer holds merge fields get one copy per copy of the body.
    pugi::xml_document styles;
    struct Page {
        pugi::xml_node node;
        MergeTemplate compiled;
    };
    std::vector<Page> pages;
    if (main.has("styles.xml")) {
        styles = parsePart(main.entries.at("styles.xml"), "styles.xml");
        for (pugi::xml_node page : styles.document_element().child("office:master-styles").children("style:master-page")) {
            MergeTemplate t = compileOdtPiece(printXml(page));
            if (t.hasMergeFields())
                pages.push_back({page, std::move(t)});
        }
    }
    // The page style the body starts with (a page with fields from it, or the first one).
    std::string startPage = pages.empty() ? std::string() : pages.front().node.attribute("style:name").value();

    // The body goes into the package as it is made. Only when every copy needs a master page of its own are the
    // copies kept in a scratch file first: their paragraph styles belong before the body.
    ZipWriter zip(output);
    if (main.has("mimetype"))
        zip.add("mimetype", main.entries.at("mimetype"));
    zip.begin("content.xml");
    std::unique_ptr<TempFile> body;
    if (pages.empty())
        zip.write(compiled.prefix);
    else
        body = std::make_unique<TempFile>();
    auto write = [&](const std::string& xml) {
        if (body)
            body->write(xml);
        else
            zip.write(xml);
    };
    std::vector<std::string> copyStyles; // paragraph styles that start a copy on its own master page
    std::string pagesXml;
    forEachCopy(compiled.body, records, [&](std::size_t copies, std::size_t first, const std::string& copy) {
        if (!pages.empty()) {
            // This copy's own master page, with its header and footer evaluated for the copy's first record.
            const std::string pageName = "cmPage" + std::to_string(copies);
            MergeCursor pageCursor(records);
            pageCursor.startCopy(first);
            std::string xml;
            pageCursor.render(pages.front().compiled, xml, true);
            const std::string original = "style:name=\"" + startPage + "\"";
            const std::size_t at = xml.find(original);
            if (at != std::string::npos)
                xml.replace(at, original.size(), "style:name=\"" + pageName + "\"");
            pagesXml += xml;
            copyStyles.push_back("<style:style style:name=\"cmCopy" + std::to_string(copies) +
                                 "\" style:family=\"paragraph\" style:master-page-name=\"" + pageName +
                                 "\"><style:paragraph-properties fo:margin-top=\"0cm\" fo:margin-bottom=\"0cm\"/>"
                                 "<style:text-properties fo:font-size=\"1pt\"/></style:style>");
            write("<text:p text:style-name=\"cmCopy" + std::to_string(copies) + "\"/>");
        } else if (copies > 0) {
            write(std::string("<text:p text:style-name=\"") + kBreakStyle + "\"/>");
        }
        write(copy);
    }, progress);

    if (body) {
        // The prefix with the copies' paragraph styles, then the body.
        body->finish();
        std::string prefix = compiled.prefix;
        std::string all;
        for (const std::string& st : copyStyles)
            all += st;
        const std::size_t at = prefix.find("</office:automatic-styles>");
        if (at != std::string::npos)
            prefix.insert(at, all);
        zip.write(prefix);
        std::FILE* f = std::fopen(body->path().c_str(), "rb");
        if (!f)
            throw std::runtime_error("the merged document cannot be read back");
        std::string chunk(1 << 16, '\0');
        std::size_t n = 0;
        while ((n = std::fread(chunk.data(), 1, chunk.size(), f)) > 0)
            zip.write(std::string_view(chunk.data(), n));
        std::fclose(f);
    }
    zip.write(compiled.suffix);

    std::map<std::string, std::string> rewritten;
    if (!pagesXml.empty()) {
        std::string xml = saveXml(styles);
        const std::size_t at = xml.find("</office:master-styles>");
        if (at != std::string::npos)
            xml.insert(at, pagesXml);
        rewritten["styles.xml"] = std::move(xml);
    }
    // No current data source: the merged document opens without asking for data.
    if (main.has("settings.xml")) {
        pugi::xml_document settings = parsePart(main.entries.at("settings.xml"), "settings.xml");
        std::vector<pugi::xml_node> gone;
        for (pugi::xpath_node item : settings.select_nodes("//config:config-item")) {
            const std::string name = item.node().attribute("config:name").value();
            if (name.rfind("CurrentDatabase", 0) == 0)
                gone.push_back(item.node());
        }
        for (pugi::xml_node n : gone)
            n.parent().remove_child(n);
        rewritten["settings.xml"] = saveXml(settings);
    }

    for (const std::string& name : main.order) {
        if (name == "mimetype" || name == "content.xml")
            continue;
        const auto changed = rewritten.find(name);
        zip.add(name, changed != rewritten.end() ? changed->second : main.entries.at(name));
    }
    zip.close();
}

} // namespace cardmill
