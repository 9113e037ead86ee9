#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "stock/LabelDesign.h"
#include "stock/LabelStock.h"

namespace cardmill {

// Why main documents cannot be made as asked; problem() says what to change.
class MainDocumentError : public std::runtime_error {
public:
    explicit MainDocumentError(StockProblem problem);
    const StockProblem& problem() const { return m_problem; }

private:
    StockProblem m_problem;
};

enum class MainDocumentFormat { Docx, Odt };

// Main documents for a label stock: one per label size, a sheet of the stock's labels each, laid out exactly.
struct MainDocumentRequest {
    LabelStock stock;
    std::filesystem::path folder;
    MainDocumentFormat format = MainDocumentFormat::Docx;
    std::vector<int> sizes; // QSOs per label, 1 to 10; 0 for SWL labels
    std::string ownCall;
    std::string stem = "card"; // card_1.docx ... card_10.docx, card_swl.docx
};

// Every size, 1 to 10 and SWL.
std::vector<int> allSizes();
// Reads "1,2,3,swl" (or "all"). Throws std::invalid_argument.
std::vector<int> parseSizes(const std::string& text);
// The documents a request makes, in the order of its sizes.
std::vector<std::filesystem::path> mainDocumentPaths(const MainDocumentRequest& request);
// The sizes of `sizes` whose labels do not fit the stock at kMinFontSize or more.
std::vector<int> sizesThatDoNotFit(const LabelStock& stock, const std::vector<int>& sizes);

// Throws MainDocumentError when the request cannot be made: a stock that is not rectangular or whose labels
// overlap or run off the paper, sizes that do not fit (naming the largest that does), several layouts in a
// .docx, no size.
void checkRequest(const MainDocumentRequest& request);

// What the user should know of documents made as asked (text kept nearer the paper's edge than
// kPaperEdgeClearance, because the labels are too small for more); empty when nothing.
std::vector<StockProblem> mainDocumentNotes(const MainDocumentRequest& request);

// Writes the documents, into a folder made first when it is not there. Each is written under a temporary name;
// only when all are written are they renamed into place, so a failure leaves every document that was there as
// it was. Existing documents are replaced (ask first). Returns the documents made. Throws MainDocumentError.
std::vector<std::filesystem::path> makeMainDocuments(const MainDocumentRequest& request);

// The two formats' writers: one sheet of the stock's labels in `design` as `fit` places it, fields naming
// `table` in .odt. Labels that run past the paper's edge are cut at it.
void writeDocxMainDocument(const LabelStock& stock, const LabelDesign& design, const DesignFit& fit,
                           const std::filesystem::path& output);
void writeOdtMainDocument(const LabelStock& stock, const LabelDesign& design, const DesignFit& fit,
                          const std::string& table, const std::filesystem::path& output);

} // namespace cardmill
