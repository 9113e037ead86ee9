#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/DrawnLabels.h"
#include "engine/Failure.h"
#include "engine/LabelMaker.h"
#include "engine/Routes.h"
#include "engine/TextId.h"

namespace cardmill {

class RunLabels;

// The label document one pass made, and how many labels it holds.
struct MadeLabels {
    PassSelector pass;
    std::size_t labels = 0;
    std::filesystem::path document;
};

// A pass whose label document could not be made, with the reason.
struct FailedPass {
    PassSelector pass;
    Failure failure;
};

// The two files that mark one ADIF file's labelled QSOs as sent, and how many QSOs they mark.
struct MarkedFile {
    std::filesystem::path sent;
    std::filesystem::path updated;
    std::size_t qsos = 0;
};

// What a run with routes sent which way.
struct RouteSummary {
    bool on = false;
    std::size_t bureauLabels = 0;      // labels of the bureau's batch (managers by bureau among them)
    std::size_t directLabels = 0;      // labels of direct cards
    std::size_t addressLabels = 0;     // address labels drawn for them
    std::size_t electronic = 0;        // QSOs answered electronically: no card
    std::size_t held = 0;              // direct cards with no address, kept back
    std::size_t noAddressByBureau = 0; // direct cards with no address, sent by bureau
    std::size_t unclearVia = 0;        // QSOs whose QSL_VIA fits no rule
    std::filesystem::path list;        // "<base>_routes.txt" when it lists any QSO
    std::size_t leftOut = 0;           // QSOs the journal says were printed before: no label
    std::filesystem::path journal;     // the journal the labels were written into
    bool journalTorn = false;          // its last line was cut off, and passed over
    std::size_t drawn = 0;             // labels drawn into PDFs, address labels included
    std::filesystem::path addressPdf;  // labels merged into documents: the address labels drawn beside them
};

// One batch of drawn labels, for a preview: its route (the direct cards' address labels apart), what was drawn
// and its PDF.
struct DrawnBatch {
    Route route = Route::Bureau;
    bool addresses = false;
    std::shared_ptr<const RunLabels> labels;
    std::filesystem::path pdf;
};

// What a run that got as far as its end made: the closing message is made from it in the program's language.
struct RunSummary {
    enum class Kind {
        Labels,          // every pass made its label document
        DataSourceFiles, // the run wrote the data-source files only
        MergeFailed,     // at least one pass failed; the others' documents are listed
        Drawn,           // the labels were drawn on the sheets: `pdfs` holds the PDF, `sheets` its pages
    };
    Kind kind = Kind::Labels;
    std::vector<MadeLabels> made;            // in pass order: sizes 1 to 10, then SWL
    std::vector<FailedPass> failed;          // likewise
    std::vector<MarkedFile> marked;          // the log's, then the SWL file's
    std::optional<Failure> notMarked;        // why the marking that was asked for was not made (nothing was marked)
    std::vector<std::filesystem::path> pdfs; // the label documents as PDF, when asked for
    std::optional<Failure> pdfFailure;       // why the PDFs asked for were not made (the label documents stay)
    std::vector<MergeWarning> warnings;      // about main documents, each once
    std::filesystem::path base;              // the run's <base>
    std::filesystem::path packingList;       // bureau order: "<base>_bureau.txt"
    std::size_t bundles = 0;                 // ... and how many bundles it lists
    bool badRecords = false;                 // "<base>_bad.txt" holds entries
    std::size_t sheets = 0;                  // drawn labels: the sheets they take
    std::string printer;                     // drawn labels: the printer they were handed to; empty: none
    std::size_t printedSheets = 0;           // ... and the sheets it took
    std::optional<Failure> printFailure;     // why the labels did not reach the printer (nothing was marked)
    TextCuts cuts;                           // drawn labels: text cut to fit
    std::vector<std::string> emptyFields;    // drawn labels: fields the design shows that no QSO has
    std::shared_ptr<const RunLabels> labels; // drawn labels: what was drawn, for a preview
    std::vector<DrawnBatch> drawnBatches;    // ... batch by batch when each QSO went its route
    RouteSummary routes;
};

// A message of the run's, by its id, with the values for its "%s" places.
struct RunMessage {
    TextId id = TextId::Count;
    std::vector<std::string> args;
    friend bool operator==(const RunMessage&, const RunMessage&) = default;
};

// How a run ended.
enum class RunOutcome {
    Done,      // the labels (or the data-source files) were made; `summary` says what
    Stopped,   // the user stopped the run; `message` says so, and `summary` what was made, if anything
    Refused,   // an input is missing or cannot be used (`message`); nothing was written
    NoData,    // no QSO and no SWL report to write; `message` says why
    Locked,    // another run is making the files of the same <base> (`message`); nothing was done
    Abandoned, // an error ended the run (`failure`), or a label document, the marking or the PDFs could not be
               // made (`summary` says what was and what was not)
};

// What a run gives back: each program turns it into its messages.
struct RunResult {
    RunOutcome outcome = RunOutcome::Done;
    std::optional<RunMessage> message;
    std::optional<Failure> failure;
    std::optional<RunSummary> summary;
};

} // namespace cardmill
