#include "merge/OdtMerger.h"

#include "engine/Files.h"
#include "merge/XmlPart.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <stdexcept>

namespace cardmill {

namespace {

const std::string& contentPart(const ZipContents& main)
{
    const auto content = main.entries.find("content.xml");
    if (content == main.entries.end())
        throw std::runtime_error("the package has no content.xml: it is not an OpenDocument text");
    return content->second;
}

// A stem for the styles the merge adds that no style of the document begins with.
std::string styleStem(const ZipContents& main)
{
    for (int i = 0;; ++i) {
        const std::string stem = "cardmill" + std::to_string(i);
        bool used = false;
        for (const char* part : {"content.xml", "styles.xml"})
            if (main.has(part) && main.entries.at(part).find("\"" + stem) != std::string::npos)
                used = true;
        if (!used)
            return stem;
    }
}

// A master page whose header or footer holds merge fields: it gets one copy per copy of the body.
struct Page {
    pugi::xml_node node;
    Template compiled;
};

std::vector<Page> pagesWithFields(const ZipContents& main, pugi::xml_document& styles)
{
    std::vector<Page> pages;
    if (main.has("styles.xml")) {
        styles = parsePart(main.entries.at("styles.xml"), "styles.xml");
        for (pugi::xml_node page :
             styles.document_element().child("office:master-styles").children("style:master-page")) {
            Template t = compileOdtPiece(printXml(page));
            if (t.hasMergeFields())
                pages.push_back({page, std::move(t)});
        }
    }
    return pages;
}

} // namespace

CompiledDocument compileOdtMain(const ZipContents& main)
{
    // Each copy starts on a page of its own: through its first paragraph's style, or, where each copy needs its
    // own master page, through a paragraph that names it.
    pugi::xml_document styles;
    return compileOdt(contentPart(main), styleStem(main), pagesWithFields(main, styles).empty());
}

std::size_t mergeOdt(const ZipContents& main, const PassRecords& records, const std::filesystem::path& output,
                     const LabelMaker::Progress& progress, const MergeOptions& options)
{
    return mergeOdt(main, compileOdtMain(main), records, output, progress, options);
}

std::size_t mergeOdt(const ZipContents& main, const CompiledDocument& compiled, const PassRecords& records,
                     const std::filesystem::path& output, const LabelMaker::Progress& progress,
                     const MergeOptions& options)
{
    const std::string stem = styleStem(main);
    pugi::xml_document styles;
    std::vector<Page> pages = pagesWithFields(main, styles);
    // The page style the body starts with (a page with fields from it, or the first one).
    std::string startPage = pages.empty() ? std::string() : pages.front().node.attribute("style:name").value();

    // The body goes into the package as it is made: first the page-anchored frames of every copy, then the text
    // of every copy, as LibreOffice reads page frames only before the text. What cannot go straight in waits in
    // a scratch file: the text while frames follow, and everything while the copies' own master pages are
    // being made (their paragraph styles belong in the part's start).
    ZipWriter zip(output);
    if (main.has("mimetype"))
        zip.add("mimetype", main.entries.at("mimetype"));
    zip.begin("content.xml");
    const bool direct = pages.empty();
    std::unique_ptr<TempFile> framesLater, textLater;
    if (direct)
        zip.write(compiled.prefix);
    else
        framesLater = std::make_unique<TempFile>();
    if (!direct || compiled.body.hasPageFrames())
        textLater = std::make_unique<TempFile>();
    auto writeFrames = [&](const std::string& xml) {
        if (framesLater)
            framesLater->write(xml);
        else
            zip.write(xml);
    };
    auto writeText = [&](const std::string& xml) {
        if (textLater)
            textLater->write(xml);
        else
            zip.write(xml);
    };
    std::vector<std::string> copyStyles; // paragraph styles that start a copy on its own master page
    std::string pagesXml;
    Evaluator headers(records, options.reading, nullptr, Evaluator::kHeaderDrawingIds);
    const std::size_t taken = forEachCopy(
        compiled.body, records, options,
        [&](std::size_t copies, std::size_t first, std::string& copy, std::string& frames, bool) {
            if (!pages.empty()) {
                // This copy's own master page, with its header and footer evaluated for the copy's first record.
                const std::string pageName = stem + "Page" + std::to_string(copies);
                headers.startCopy(first, copies);
                std::string xml;
                headers.render(pages.front().compiled, xml, true);
                const std::string original = "style:name=\"" + startPage + "\"";
                const std::size_t at = xml.find(original);
                if (at != std::string::npos)
                    xml.replace(at, original.size(), "style:name=\"" + pageName + "\"");
                pagesXml += xml;
                copyStyles.push_back("<style:style style:name=\"" + stem + "Copy" + std::to_string(copies) +
                                     "\" style:family=\"paragraph\" style:master-page-name=\"" + pageName +
                                     "\"><style:paragraph-properties fo:margin-top=\"0cm\" fo:margin-bottom=\"0cm\"/>"
                                     "<style:text-properties fo:font-size=\"1pt\"/></style:style>");
                writeText("<text:p text:style-name=\"" + stem + "Copy" + std::to_string(copies) + "\"/>");
            }
            writeFrames(frames);
            writeText(copy);
        },
        progress);

    auto copyInto = [&](TempFile& file) {
        file.finish();
        std::FILE* f = files::open(file.path(), "rb");
        if (!f)
            throw std::runtime_error("the merged document cannot be read back");
        std::string chunk(1 << 16, '\0');
        std::size_t n = 0;
        while ((n = std::fread(chunk.data(), 1, chunk.size(), f)) > 0)
            zip.write(std::string_view(chunk.data(), n));
        std::fclose(f);
    };
    if (!direct) {
        // The prefix with the copies' paragraph styles.
        std::string prefix = compiled.prefix;
        std::string all;
        for (const std::string& st : copyStyles)
            all += st;
        const std::size_t at = prefix.find("</office:automatic-styles>");
        const std::size_t empty = prefix.find("<office:automatic-styles/>");
        if (at != std::string::npos)
            prefix.insert(at, all);
        else if (empty != std::string::npos)
            prefix.replace(empty, 26, "<office:automatic-styles>" + all + "</office:automatic-styles>");
        zip.write(prefix);
        copyInto(*framesLater);
    }
    if (textLater)
        copyInto(*textLater);
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
    return taken;
}

} // namespace cardmill
