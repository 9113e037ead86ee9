#include "engine/LabelMerge.h"

#include <algorithm>
#include <exception>
#include <system_error>

#include "engine/Files.h"
#include "engine/RunObserver.h"
#include "engine/RunRequest.h"
#include "engine/TempFiles.h"
#include "engine/Text.h"

namespace cardmill {

int PassRecords::column(std::string_view name) const
{
    for (std::size_t i = 0; i < m_columns.size(); ++i)
        if (text::equalNoCase(m_columns[i], name))
            return static_cast<int>(i);
    return -1;
}

std::string_view PassRecords::value(std::size_t record, std::size_t column) const
{
    std::string_view line = m_lines[record];
    for (std::size_t c = 0; c < column; ++c) {
        const std::size_t comma = line.find(',');
        if (comma == std::string_view::npos)
            return {};
        line.remove_prefix(comma + 1);
    }
    return line.substr(0, line.find(','));
}

std::filesystem::path mainDocumentForPass(const std::filesystem::path& chosen, PassSelector selector)
{
    const std::string suffix = selector.isSwl() ? "_swl" : "_" + std::to_string(selector.size);
    const std::string path = files::utf8Of(chosen);
    const std::string name = files::utf8Of(chosen.filename());
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot >= 2 && name.compare(dot - 2, 2, "_1") == 0) {
        const std::string ext = text::upper(name.substr(dot));
        if (ext == ".DOC" || ext == ".DOCX" || ext == ".ODT") {
            const std::size_t at = path.size() - (name.size() - dot) - 2;
            return files::pathFromUtf8(path.substr(0, at) + suffix + path.substr(at + 2));
        }
    }
    return files::pathFromUtf8((path.size() > 6 ? path.substr(0, path.size() - 6) : std::string()) + suffix + ".doc");
}

std::filesystem::path tableDocumentPath(const std::filesystem::path& base)
{
    return base.parent_path() / "temporary.doc";
}

std::filesystem::path labelDocumentStem(const std::filesystem::path& base, PassSelector selector)
{
    return files::withSuffix(base, selector.isSwl() ? std::string("_labels_swl")
                                                    : "_labels_" + std::to_string(selector.size));
}

MergePhase::MergePhase(const RunRequest& request, RunObserver& observer, const StopToken& stop, LabelMaker& maker)
    : m_request(request)
    , m_observer(observer)
    , m_stop(stop)
    , m_maker(maker)
{
}

MergePhase::Result MergePhase::run(const std::filesystem::path& base, const std::vector<std::string>& columns,
                                   const SortedLines& lines, const GroupedLines& grouped)
{
    Result result;
    for (const PassSelector pass : allPasses()) {
        const std::vector<std::uint32_t>& positions = grouped[pass.index()];
        if (positions.empty())
            continue;
        if (m_stop.stopRequested()) {
            result.ending = Ending::Stopped;
            return result;
        }
        std::vector<std::string_view> views;
        views.reserve(positions.size());
        for (const std::uint32_t p : positions)
            views.push_back(lines[p]);
        const PassRecords records(columns, std::move(views));
        if (runPass(base, pass, records, result) == PassEnding::Stopped) {
            result.ending = Ending::Stopped;
            return result;
        }
    }
    result.ending = result.failed.empty() ? Ending::Done : Ending::Failed;
    if (result.ending == Ending::Done)
        removeOlderLabels(base, result);
    return result;
}

MergePhase::PassEnding MergePhase::runPass(const std::filesystem::path& base, PassSelector selector,
                                           const PassRecords& records, Result& result)
{
    const std::filesystem::path mainDocument = mainDocumentForPass(m_request.mainDocument, selector);
    const std::string name = mainDocument.filename().string();
    auto passStatus = [&] {
        if (selector.isSwl())
            m_observer.status(TextId::StatusMergingSwlLabels, {name});
        else
            m_observer.status(TextId::StatusMergingLabels, {std::to_string(selector.size), name});
    };
    passStatus();
    m_observer.progress(0, records.size());

    std::unique_ptr<PartFile> part;
    std::filesystem::path document;
    // A failure names the label document, never the temporary name it was being written under.
    auto named = [&](Failure f) {
        const std::string temporary = part ? part->path().string() : std::string();
        if (!temporary.empty()) {
            if (f.path == part->path())
                f.path = document;
            for (std::size_t at = f.detail.find(temporary); at != std::string::npos; at = f.detail.find(temporary, at))
                f.detail.replace(at, temporary.size(), document.string());
        }
        return f;
    };
    try {
        if (m_request.keepTableDocument) {
            const std::filesystem::path table = tableDocumentPath(base);
            part = std::make_unique<PartFile>(table);
            m_maker.writeTableDocument(records, part->path());
            std::error_code ec;
            std::filesystem::rename(part->path(), table, ec);
            if (ec)
                throw MergeError(FailureId::TableDocument, table, ec.message());
            part->placed();
            part.reset();
        }
        const LabelMaker::Progress progress = [&](std::size_t done) {
            if (done > 0)
                m_observer.progress(done, records.size());
            return !m_stop.stopRequested();
        };
        const LabelMaker::Waiting waiting = [&](const std::string& file, int seconds) {
            m_observer.status(TextId::StatusLibreOffice, {file, std::to_string(seconds)});
            return !m_stop.stopRequested();
        };
        document = files::withSuffix(labelDocumentStem(base, selector), m_maker.labelExtension(mainDocument, waiting));
        passStatus(); // after a conversion's seconds
        part = std::make_unique<PartFile>(document);
        std::vector<MergeWarning> warnings;
        const MergeContext context{m_request.format.dateFormat.index(), m_request.polishNames, m_request.startLabel};
        const bool made = m_maker.make(records, mainDocument, part->path(), progress, context, warnings);
        for (MergeWarning& w : warnings) // once per main document
            if (std::find(result.warnings.begin(), result.warnings.end(), w) == result.warnings.end())
                result.warnings.push_back(std::move(w));
        if (!made)
            return PassEnding::Stopped; // the part file goes with `part`
        std::error_code ec;
        std::filesystem::rename(part->path(), document, ec);
        if (ec)
            throw MergeError(FailureId::LabelDocument, document, ec.message());
        part->placed();
        const std::size_t labels = selector.isSwl() ? records.size() : records.size() / selector.size;
        result.made.push_back({selector, labels, document});
        return PassEnding::Made;
    } catch (const LabelMakingStopped&) {
        return PassEnding::Stopped;
    } catch (const std::bad_alloc&) {
        result.failed.push_back({selector, {FailureId::MergeMemory, mainDocument, {}}});
    } catch (const FailureError& e) {
        result.failed.push_back({selector, named(e.failure())});
    } catch (const std::exception& e) {
        result.failed.push_back({selector, named({FailureId::Other, {}, e.what()})});
    }
    return PassEnding::Failed;
}

void MergePhase::removeOlderLabels(const std::filesystem::path& base, const Result& result)
{
    // Every label document of this log that is not one this run made, and every PDF (new ones are made
    // from the new documents when the user asks for them).
    for (const PassSelector pass : allPasses()) {
        const std::filesystem::path stem = labelDocumentStem(base, pass);
        for (const char* ext : {".docx", ".odt", ".pdf"}) {
            const std::filesystem::path old = files::withSuffix(stem, ext);
            bool made = false;
            for (const MadeLabels& m : result.made)
                made = made || m.document == old;
            std::error_code ec;
            if (!made && std::filesystem::is_regular_file(std::filesystem::symlink_status(old, ec)))
                std::filesystem::remove(old, ec);
        }
    }
}

} // namespace cardmill
