#include "stock/MainDocuments.h"

#include <algorithm>
#include <memory>
#include <system_error>

#include "engine/Files.h"
#include "engine/LabelMaker.h"
#include "engine/TempFiles.h"
#include "engine/Text.h"

namespace cardmill {

MainDocumentError::MainDocumentError(StockProblem problem)
    : std::runtime_error("main documents cannot be made (problem " + std::to_string(static_cast<int>(problem.id)) + ")")
    , m_problem(std::move(problem))
{
}

namespace {

std::string sizeName(int size)
{
    return size == 0 ? std::string("swl") : std::to_string(size);
}

} // namespace

std::vector<int> allSizes()
{
    std::vector<int> sizes;
    for (const PassSelector pass : allPasses())
        sizes.push_back(pass.size);
    return sizes;
}

std::vector<int> parseSizes(const std::string& list)
{
    if (text::equalNoCase(text::trim(list), "all"))
        return allSizes();
    std::vector<int> out;
    for (std::size_t at = 0; at <= list.size();) {
        const std::size_t comma = std::min(list.find(',', at), list.size());
        const std::string_view item = text::trim(std::string_view(list).substr(at, comma - at));
        long long n = 0;
        int size = -1;
        if (text::equalNoCase(item, "swl"))
            size = 0;
        else if (text::parseInteger(item, n) && n >= 1 && n <= PassSelector::kLargest)
            size = static_cast<int>(n);
        if (size < 0)
            throw std::invalid_argument("label sizes are 1 to 10 and swl, separated by commas, not \"" +
                                        std::string(item) + "\"");
        if (std::find(out.begin(), out.end(), size) == out.end())
            out.push_back(size);
        at = comma + 1;
    }
    return out;
}

std::vector<std::filesystem::path> mainDocumentPaths(const MainDocumentRequest& r)
{
    const std::string extension = r.format == MainDocumentFormat::Docx ? ".docx" : ".odt";
    std::vector<std::filesystem::path> out;
    for (int size : r.sizes)
        out.push_back(r.folder / files::pathFromUtf8(r.stem + "_" + sizeName(size) + extension));
    return out;
}

std::vector<int> sizesThatDoNotFit(const LabelStock& stock, const std::vector<int>& sizes)
{
    std::vector<int> out;
    for (int size : sizes)
        if (fittingFontSize(qslDesign(size, {}), stock) == 0)
            out.push_back(size);
    return out;
}

void checkRequest(const MainDocumentRequest& r)
{
    using Id = StockProblem::Id;
    const LabelStock& s = r.stock;
    if (!s.rectangular())
        throw MainDocumentError({Id::NotRectangular, {s.name()}});
    if (std::optional<StockProblem> problem = s.problem())
        throw MainDocumentError(std::move(*problem));
    if (r.sizes.empty())
        throw MainDocumentError({Id::NoSizeChosen, {}});
    if (r.format == MainDocumentFormat::Docx && s.layouts.size() > 1)
        throw MainDocumentError({Id::OneTableOnly, {s.name(), std::to_string(s.layouts.size())}});
    const std::vector<int> unfit = sizesThatDoNotFit(s, r.sizes);
    if (!unfit.empty()) {
        std::string list;
        for (int size : unfit)
            list += (list.empty() ? "" : ", ") + sizeName(size);
        const int largest = largestFittingSize(s);
        const Id id = largest == 0 ? Id::TooSmallNoneFits : largest == 1 ? Id::TooSmallOneFits : Id::TooSmall;
        throw MainDocumentError({id, {s.name(), text::fixed(kMinFontSize, 0), list, std::to_string(largest)}});
    }
}

std::vector<StockProblem> mainDocumentNotes(const MainDocumentRequest& r)
{
    double nearest = kPaperEdgeClearance;
    std::string sizes;
    for (int size : r.sizes) {
        const DesignFit fit = fitDesign(qslDesign(size, r.ownCall), r.stock);
        if (fit.fontSize > 0 && fit.clearance < kPaperEdgeClearance) {
            nearest = std::min(nearest, fit.clearance);
            sizes += (sizes.empty() ? "" : ", ") + sizeName(size);
        }
    }
    if (sizes.empty())
        return {};
    return {{StockProblem::Id::TextNearPaperEdge,
             {text::fixed(nearest / kPointsPerMm, 2), text::fixed(kPaperEdgeClearance / kPointsPerMm, 0), sizes}}};
}

std::vector<std::filesystem::path> makeMainDocuments(const MainDocumentRequest& r)
{
    using Id = StockProblem::Id;
    checkRequest(r);
    std::error_code ec;
    // A folder that is not there yet is made; a file in its place is not one.
    if (!std::filesystem::exists(std::filesystem::symlink_status(r.folder, ec)) &&
        !std::filesystem::create_directories(r.folder, ec) && ec)
        throw MainDocumentError({Id::CannotWrite, {r.folder.string(), ec.message()}});
    if (!std::filesystem::is_directory(r.folder, ec))
        throw MainDocumentError({Id::NoFolder, {r.folder.string()}});
    const std::vector<std::filesystem::path> targets = mainDocumentPaths(r);
    for (const auto& t : targets)
        if (std::filesystem::is_directory(t, ec))
            throw MainDocumentError({Id::FolderInTheWay, {t.string()}});

    // Each written under a part name; the parts not put in place go when `parts` does.
    std::vector<std::unique_ptr<PartFile>> parts;
    try {
        for (std::size_t i = 0; i < targets.size(); ++i) {
            const int size = r.sizes[i];
            const LabelDesign design = qslDesign(size, r.ownCall);
            const DesignFit fit = fitDesign(design, r.stock);
            parts.push_back(std::make_unique<PartFile>(targets[i]));
            if (r.format == MainDocumentFormat::Docx)
                writeDocxMainDocument(r.stock, design, fit, parts.back()->path());
            else
                writeOdtMainDocument(r.stock, design, fit, targets[i].stem().string(), parts.back()->path());
        }
    } catch (const std::exception& e) {
        throw MainDocumentError({Id::CannotWrite, {r.folder.string(), e.what()}});
    }
    for (std::size_t i = 0; i < targets.size(); ++i) {
        std::filesystem::rename(parts[i]->path(), targets[i], ec);
        if (ec)
            throw MainDocumentError(
                {i ? Id::CannotPlaceAfterOthers : Id::CannotPlace, {targets[i].string(), ec.message()}});
        parts[i]->placed();
    }
    return targets;
}

} // namespace cardmill
