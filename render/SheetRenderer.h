#pragma once

#include <QFont>
#include <QFontMetricsF>

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "engine/LabelDrawer.h"
#include "engine/RunRequest.h"
#include "render/DesignPainter.h"
#include "stock/Design.h"
#include "stock/LabelDesign.h"
#include "stock/LabelStock.h"

class QPainter;
class QPaintDevice;

namespace cardmill {

// The labels a series of sheets carries, in the order they go on: how many, and each one's kind and values.
class LabelSource {
public:
    virtual ~LabelSource() = default;
    virtual std::size_t count() const = 0;
    // The QSOs of a label, 1 to 10; 0 for an SWL label.
    virtual int qsos(std::size_t label) const = 0;
    // A column's value for the label's `qso`-th QSO, in UTF-8; empty when it has none.
    virtual std::string value(std::size_t label, const std::string& column, int qso) const = 0;
};

// Draws labels in a design onto the sheets of a stock: the labels one after the other in the sheets' reading
// order, the first sheet from the start label on. A flow design (the program's QSL label) is sized to each label
// as the made main documents size it; a fixed one is drawn where it puts its elements.
class SheetRenderer {
public:
    // Draws with `design` (the program's QSL label when none), its SWL labels with its SWL face or the built-in
    // SWL design. Throws MainDocumentError when the stock cannot carry the labels (see LabelStock::problem), or
    // when labels of `largest` QSOs (or SWL labels, with `swl`) do not fit it; DesignError when the design does
    // not fit the labels or its pictures cannot be read.
    SheetRenderer(LabelStock stock, std::string ownCall, int startLabel, Calibration calibration, int largest = 10,
                  bool swl = true, const Design* design = nullptr);

    const LabelStock& stock() const { return m_stock; }
    // The fields the labels show: the design's, and the SWL design's.
    std::vector<std::string> fields() const;
    std::size_t labelsPerSheet() const { return m_places.size(); }
    // The labels start at place `label` of the first sheet from now on. Throws MainDocumentError (StartPastSheet)
    // when a sheet has no such place.
    void startAt(int label);
    // The pages `labels` labels take.
    std::size_t pages(std::size_t labels) const;
    // The height of page `page` (from 0) in points: the paper's, or on a roll without a set length, as long as
    // the page's label needs.
    double pageHeight(const LabelSource& labels, std::size_t page) const;
    // The labels on page `page` (from 0): the first and one past the last.
    std::pair<std::size_t, std::size_t> labelsOn(std::size_t page, std::size_t labels) const;

    // Paints page `page` of the labels. The painter's units must be points from the paper's top left corner
    // (see usePoints); `device` is what it paints on, for the sizes of its fonts. Text cut to fit goes to `cuts`.
    void paintPage(QPainter& painter, const QPaintDevice& device, const LabelSource& labels, std::size_t page,
                   TextCuts* cuts = nullptr) const;
    // A page of label outlines with a cross at each label's centre and the calibration in force, to print on
    // plain paper and hold against a sheet of labels.
    void paintCalibrationPage(QPainter& painter, const QPaintDevice& device) const;

    // Makes the painter's units points from the paper's corner, with the calibration applied.
    void usePoints(QPainter& painter, const QPaintDevice& device) const;

    // A font of the labels at a size in points, for one kind of device, with what the drawing asks of it.
    struct LabelFont {
        double points;
        bool bold;
        int dpi;
        std::string family; // empty: the labels' own
        bool italic;
        QFont font;
        QFontMetricsF metrics;
        double widest; // the widest character's advance
    };

private:
    const LabelFont& fontFor(double points, bool bold, const QPaintDevice& device, const std::string& family = {},
                             bool italic = false) const;
    void paintLabel(QPainter& painter, const QPaintDevice& device, const LabelSource& labels, std::size_t label,
                    std::size_t place, TextCuts* cuts) const;
    void paintFixedLabel(QPainter& painter, const QPaintDevice& device, const LabelSource& labels, std::size_t label,
                         const LabelRect& place, bool swl, TextCuts* cuts) const;
    // Checks that the design's faces fit the stock's labels for the sizes asked for.
    void checkFit(int largest, bool swl) const;
    // A roll without a set length: its labels as long as the longest label of the run needs.
    void sizeRoll(int largest, bool swl);
    // The stock with labels (and paper) `height` points long.
    LabelStock withHeight(double height) const;
    // The label `label` on a roll without a set length, as long as it needs.
    LabelRect rollLabel(const LabelSource& labels, std::size_t label) const;

    // How the labels of one pass are drawn: a flow design sized to the stock, or a fixed design's face.
    struct PassDrawing {
        bool fixed = false;
        LabelDesign flow;
        DesignFit fit;
        double rollHeight = 0; // a flow label's length on a roll without a set length
    };

    LabelStock m_stock;
    std::vector<LabelRect> m_places;
    int m_start = 1;
    Calibration m_calibration;
    std::string m_ownCall;
    std::shared_ptr<const Design> m_qsl, m_swl; // the designs of QSO and of SWL labels
    std::shared_ptr<const DesignPictures> m_qslPictures, m_swlPictures;
    PassArray<PassDrawing> m_passes;                         // by the labels' pass
    mutable std::vector<std::unique_ptr<LabelFont>> m_fonts; // made as the pages need them
};

} // namespace cardmill
