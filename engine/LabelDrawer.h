#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/DataSourceFiles.h"
#include "engine/DrawnLabels.h"
#include "engine/LabelMaker.h"

namespace cardmill {

// The labels of a run in the order they go onto the sheets, all sizes and SWL labels in one stream, with their
// values. It holds its own copy of the lines, so it outlives the run (a preview draws from it).
class RunLabels {
public:
    RunLabels() = default;
    RunLabels(std::vector<std::string> columns, const SortedLines& lines, const GroupedLines& grouped,
              const std::vector<StreamLabel>& stream);

    std::size_t count() const { return m_qsos.size(); }
    // The QSOs of a label, 1 to 10; 0 for an SWL label.
    int qsos(std::size_t label) const { return m_qsos[label]; }
    // The bytes of a column's value (the data-source file's text) for the label's `qso`-th QSO (0 for an SWL
    // label's report); empty when the column is unknown or the label has no such QSO.
    std::string_view value(std::size_t label, std::string_view column, int qso) const;

private:
    std::unique_ptr<std::string> m_text; // where it stays when the labels are moved
    PassRecords m_records;               // one record per line, label after label
    std::vector<std::uint32_t> m_first;  // each label's first record
    std::vector<std::uint8_t> m_qsos;
};

// Where the labels go on the sheets and how they are drawn: made by each program from the request's sheet
// choice (a Qt painter draws them), so the run itself stays free of drawing.
class LabelDrawer {
public:
    // Runs after each page with the pages done and the pages in all; returning false ends the drawing.
    using Progress = std::function<bool(std::size_t done, std::size_t pages)>;

    virtual ~LabelDrawer() = default;

    // Draws the labels as a PDF at `pdf` (an older one replaced only when the new one is complete), and hands
    // them to the printer when that was asked for, only once the PDF is complete. A stop (`progress` returning
    // false) leaves the result incomplete: before the PDF was made, an older one stays; before the print, nothing
    // reached the printer. Throws FailureError: a printer that is missing or refuses the job, a write error.
    virtual DrawnLabels draw(const RunLabels& labels, const std::filesystem::path& pdf, const Progress& progress) = 0;
    // The fields the labels show, in capitals: those beyond the fixed columns become columns of the run.
    virtual std::vector<std::string> fields() const { return {}; }
    // Where the next labels drawn start on their first sheet: label place `label`, from 1. The program that made
    // the drawer checked every start its request has (RunRequest::startLabelOf).
    virtual void startAt(int label) { (void)label; }
    // Whether drawing makes labels: a drawer that only counts the sheets (a preview before the run) makes none,
    // and the journal of printed labels takes nothing of it.
    virtual bool makesLabels() const { return true; }
    // The labels one sheet holds (1 on a roll); 0 when unknown.
    virtual std::size_t labelsPerSheet() const { return 0; }
};

// The PDF of a run's drawn labels: "<base>_labels.pdf".
std::filesystem::path drawnLabelsPath(const std::filesystem::path& base);

} // namespace cardmill
