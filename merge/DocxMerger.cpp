#include "merge/DocxMerger.h"

#include "merge/XmlPart.h"

#include <pugixml.hpp>

#include <cstring>
#include <map>
#include <set>
#include <stdexcept>

namespace cardmill {

namespace {

constexpr const char* kDocumentPart = "word/document.xml";

// The section properties every copy but the last ends with: the main document's, starting on a new page.
std::string nextPageSection(const std::string& sectionXml)
{
    pugi::xml_document doc;
    if (sectionXml.empty() || !doc.load_buffer(sectionXml.data(), sectionXml.size(), kPartParseFlags))
        return "<w:sectPr><w:type w:val=\"nextPage\"/></w:sectPr>";
    pugi::xml_node sect = doc.document_element();
    sect.remove_child("w:type");
    pugi::xml_node before = sect.first_child();
    while (before &&
           (std::strcmp(before.name(), "w:headerReference") == 0 ||
            std::strcmp(before.name(), "w:footerReference") == 0 || std::strcmp(before.name(), "w:footnotePr") == 0 ||
            std::strcmp(before.name(), "w:endnotePr") == 0))
        before = before.next_sibling();
    pugi::xml_node type = before ? sect.insert_child_before("w:type", before) : sect.append_child("w:type");
    type.append_attribute("w:val") = "nextPage";
    return printXml(sect);
}

std::string partPath(const std::string& target)
{
    // Targets in word/_rels/document.xml.rels are relative to word/.
    if (!target.empty() && target[0] == '/')
        return target.substr(1);
    return "word/" + target;
}

void replaceAll(std::string& s, const std::string& from, const std::string& to)
{
    for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
        s.replace(at, from.size(), to);
}

const std::string& documentPart(const ZipContents& main)
{
    const auto document = main.entries.find(kDocumentPart);
    if (document == main.entries.end())
        throw std::runtime_error("the package has no word/document.xml: it is not a WordprocessingML document");
    return document->second;
}

} // namespace

CompiledDocument compileDocxMain(const ZipContents& main)
{
    return compileDocx(documentPart(main));
}

std::size_t mergeDocx(const ZipContents& main, const PassRecords& records, const std::filesystem::path& output,
                      const LabelMaker::Progress& progress, const MergeOptions& options)
{
    return mergeDocx(main, compileDocxMain(main), records, output, progress, options);
}

std::size_t mergeDocx(const ZipContents& main, const CompiledDocument& compiled, const PassRecords& records,
                      const std::filesystem::path& output, const LabelMaker::Progress& progress,
                      const MergeOptions& options)
{
    const std::string section = nextPageSection(compiled.sectionXml);
    const std::string finalSection = compiled.sectionXml.empty() ? section : compiled.sectionXml;

    // Headers and footers with merge fields are evaluated for every copy, as parts of their own.
    struct PartWithFields {
        std::string id;   // relationship id
        std::string name; // part name
        std::string contentType;
        std::string relType;
        Template compiled;
    };
    std::vector<PartWithFields> headerParts;
    pugi::xml_document rels;
    const std::string relsName = "word/_rels/document.xml.rels";
    if (main.has(relsName)) {
        rels = parsePart(main.entries.at(relsName), relsName);
        for (pugi::xml_node rel : rels.document_element().children("Relationship")) {
            const std::string type = rel.attribute("Type").value();
            const bool headerOrFooter = type.size() > 7 && (type.ends_with("/header") || type.ends_with("/footer"));
            const std::string name = partPath(rel.attribute("Target").value());
            if (!headerOrFooter || !main.has(name))
                continue;
            Template t = compileDocxPart(main.entries.at(name));
            if (t.hasMergeFields())
                headerParts.push_back({rel.attribute("Id").value(), name, {}, type, std::move(t)});
        }
    }
    pugi::xml_document types;
    if (main.has("[Content_Types].xml")) {
        types = parsePart(main.entries.at("[Content_Types].xml"), "[Content_Types].xml");
        for (PartWithFields& p : headerParts)
            for (pugi::xml_node o : types.document_element().children("Override"))
                if (std::string(o.attribute("PartName").value()) == "/" + p.name)
                    p.contentType = o.attribute("ContentType").value();
    }

    std::map<std::string, std::string> extraParts; // cloned headers and footers
    // The body goes into the package as it is made; the parts that depend on it follow it.
    ZipWriter zip(output);
    zip.begin(kDocumentPart);
    zip.write(compiled.prefix);
    std::string lastSection = finalSection;
    Evaluator headers(records, options.reading, nullptr, Evaluator::kHeaderDrawingIds);
    const std::size_t taken = forEachCopy(
        compiled.body, records, options,
        [&](std::size_t copies, std::size_t first, std::string& copy, std::string&, bool last) {
            std::string sectionOfCopy = last ? finalSection : section;
            for (const PartWithFields& p : headerParts) {
                const std::string id = "cmR" + std::to_string(copies) + "_" + p.id;
                const std::string name =
                    "word/cm" + std::to_string(copies) + "_" + p.name.substr(p.name.rfind('/') + 1);
                headers.startCopy(first, copies);
                std::string xml;
                headers.render(p.compiled, xml, true);
                extraParts[name] = std::move(xml);
                pugi::xml_node rel = rels.document_element().append_child("Relationship");
                rel.append_attribute("Id") = id.c_str();
                rel.append_attribute("Type") = p.relType.c_str();
                rel.append_attribute("Target") = name.substr(5).c_str();
                if (!p.contentType.empty()) {
                    pugi::xml_node o = types.document_element().append_child("Override");
                    o.append_attribute("PartName") = ("/" + name).c_str();
                    o.append_attribute("ContentType") = p.contentType.c_str();
                }
                replaceAll(sectionOfCopy, "r:id=\"" + p.id + "\"", "r:id=\"" + id + "\"");
            }
            // Each copy's section break in its own last paragraph; the last copy's section is the body's own.
            const std::size_t mark = copy.find(Evaluator::kSectionMark);
            if (mark != std::string::npos)
                copy.replace(mark, 1, last ? std::string() : sectionOfCopy);
            if (last)
                lastSection = std::move(sectionOfCopy);
            zip.write(copy);
        },
        progress);
    zip.write(lastSection);
    zip.write(compiled.suffix);

    // The merged document is a document of its own: no mail-merge settings, no link to a data source.
    std::set<std::string> dropped;
    std::map<std::string, std::string> rewritten;
    if (main.has("word/settings.xml")) {
        pugi::xml_document settings = parsePart(main.entries.at("word/settings.xml"), "word/settings.xml");
        settings.document_element().remove_child("w:mailMerge");
        rewritten["word/settings.xml"] = saveXml(settings);
    }
    const std::string settingsRels = "word/_rels/settings.xml.rels";
    if (main.has(settingsRels)) {
        pugi::xml_document srels = parsePart(main.entries.at(settingsRels), settingsRels);
        std::vector<pugi::xml_node> gone;
        for (pugi::xml_node rel : srels.document_element().children("Relationship")) {
            const std::string type = rel.attribute("Type").value();
            if (type.find("mailMerge") != std::string::npos || type.find("recipientData") != std::string::npos) {
                gone.push_back(rel);
                if (std::string(rel.attribute("TargetMode").value()) != "External")
                    dropped.insert(partPath(rel.attribute("Target").value()));
            }
        }
        for (pugi::xml_node rel : gone)
            srels.document_element().remove_child(rel);
        rewritten[settingsRels] = saveXml(srels);
    }
    // No content type is declared for a part that is not there.
    if (!dropped.empty() && types) {
        std::vector<pugi::xml_node> gone;
        for (pugi::xml_node o : types.document_element().children("Override"))
            if (dropped.count(std::string(o.attribute("PartName").value()).substr(1)))
                gone.push_back(o);
        for (pugi::xml_node o : gone)
            types.document_element().remove_child(o);
    }
    if (!headerParts.empty())
        rewritten[relsName] = saveXml(rels);
    if ((!headerParts.empty() || !dropped.empty()) && types)
        rewritten["[Content_Types].xml"] = saveXml(types);

    for (const std::string& name : main.order) {
        if (name == kDocumentPart || dropped.count(name))
            continue;
        const auto changed = rewritten.find(name);
        zip.add(name, changed != rewritten.end() ? changed->second : main.entries.at(name));
    }
    for (const auto& [name, xml] : extraParts)
        zip.add(name, xml);
    zip.close();
    return taken;
}

} // namespace cardmill
