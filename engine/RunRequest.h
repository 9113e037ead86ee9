#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/BureauOrder.h"
#include "engine/DateFormatter.h"
#include "engine/LabelMaker.h"
#include "engine/QrgFormatter.h"
#include "engine/Routes.h"
#include "engine/SentMarks.h"

namespace cardmill {

// QSOs per label: 1 to 10, the rule in one place. A value outside it cannot be made.
class LabelSize {
public:
    static constexpr int kMin = 1;
    static constexpr int kMax = PassSelector::kLargest;

    constexpr LabelSize() = default; // one QSO per label
    // The size `n`; none outside 1 to 10.
    static std::optional<LabelSize> of(long long n);
    // The nearest size to `n`: what a stored value or a box's text out of range stands for.
    static LabelSize nearest(long long n);

    constexpr int value() const { return m_value; }
    friend constexpr bool operator==(LabelSize, LabelSize) = default;

private:
    constexpr explicit LabelSize(int n)
        : m_value(n)
    {
    }
    int m_value = kMin;
};

// A calendar date as a date picker holds it.
struct PickerDate {
    int year = 0;
    int month = 0;
    int day = 0;
    friend bool operator==(const PickerDate&, const PickerDate&) = default;
};

// The three QSL-flag filters.
enum class QslFilter { Sent, Rcvd, Print };

// The flag boxes of a QSL-flag filter: "Y", "N", "R", "I" for QSL_SENT and QSL_RCVD, "L", "A", "N" for
// QSL_PRINT, and "Blank" for all three.
enum class QslBox { Y, N, R, I, L, A, Blank };

// One QSL-flag filter: whether it is on, and its ticked boxes (by QslBox).
struct QslFlagChoice {
    bool on = false;
    std::array<bool, 7> ticked{};
    bool isTicked(QslBox box) const { return ticked[static_cast<std::size_t>(box)]; }
    void tick(QslBox box, bool on = true) { ticked[static_cast<std::size_t>(box)] = on; }
    friend bool operator==(const QslFlagChoice&, const QslFlagChoice&) = default;
};

// The QSO selection filters. A filter that is off lets every QSO through.
struct QsoFilterChoice {
    bool dateRange = false;
    PickerDate from{2000, 1, 1};
    PickerDate to{2099, 12, 31};
    std::array<QslFlagChoice, 3> qsl; // by QslFilter
    bool callOn = false;
    std::string call; // compared exactly with the CALL column

    const QslFlagChoice& flags(QslFilter f) const { return qsl[static_cast<std::size_t>(f)]; }
    QslFlagChoice& flags(QslFilter f) { return qsl[static_cast<std::size_t>(f)]; }
    friend bool operator==(const QsoFilterChoice&, const QsoFilterChoice&) = default;
};

// How a label line writes its values.
struct LineFormat {
    QrgFormat qrg = QrgFormat::MetersWithUnit;
    DateFormat dateFormat = {};
    std::string separator = "-";              // the date separator: one character, or empty
    std::vector<std::string> userFields = {}; // ADIF field names in capitals, each a column after the fixed ones
    friend bool operator==(const LineFormat&, const LineFormat&) = default;
};

// How far a printer puts what it prints from where it was meant to go, measured on a calibration page: every
// position is moved by the offset (millimetres, right and down) and scaled from the paper's top left corner.
// The rule in one place: offsets from -20 to 20 mm, a scale from 90 to 110 %, every number finite.
struct Calibration {
    static constexpr double kMaxOffset = 20;  // millimetres, either way
    static constexpr double kMinPercent = 90; // the scale, in per cent
    static constexpr double kMaxPercent = 110;

    double offsetX = 0, offsetY = 0; // millimetres, right and down
    double scale = 1;                // 1: as the stock says

    // The calibration of an offset and a scale in per cent; none when a value is not a number in its range.
    static std::optional<Calibration> of(double offsetX, double offsetY, double percent);
    static bool offsetInRange(double mm);
    static bool percentInRange(double percent);
    friend bool operator==(const Calibration&, const Calibration&) = default;
};

// The label sheets a run draws its labels on, instead of merging them into main documents: a stock of the
// catalogue or a custom grid, the printer's calibration, and whether the labels go to a printer too.
struct LabelSheet {
    std::string stock;      // "Avery L7163"
    std::string customGrid; // or a grid: see parseCustomGrid
    Calibration calibration;
    bool print = false;
    std::string printer; // empty: the system's default printer
    std::string design;  // a built-in design's name or a design file; empty: the program's QSL label
    bool chosen() const { return !stock.empty() || !customGrid.empty(); }
    // The stock's name or the grid, as the settings remember a sheet by.
    const std::string& name() const { return stock.empty() ? customGrid : stock; }
    // Whether a sheet's name is a custom grid: a grid holds commas, a stock's name does not.
    static bool isGrid(std::string_view name) { return name.find(',') != std::string_view::npos; }
    // The sheet of that name (empty: none), its calibration left as it is.
    void setName(const std::string& sheet)
    {
        stock = isGrid(sheet) ? std::string() : sheet;
        customGrid = isGrid(sheet) ? sheet : std::string();
    }
    friend bool operator==(const LabelSheet&, const LabelSheet&) = default;
};

// How a run in LabelOrder::Routes sends its QSOs (engine/Routes): the bureau's labels and the direct ones as
// batches of their own, an address label for each direct card, the QSOs that get no card listed, and none
// printed twice: those in the journal are left out unless a reprint is asked for.
struct RouteChoice {
    Route fallback = Route::Bureau;  // the default route: Bureau, Direct or Electronic
    Route noAddress = Route::Bureau; // a direct card whose QSO has no ADDRESS: Bureau, or Held
    std::string addressStock;        // the address labels' stock; empty: the label sheet's
    std::filesystem::path journal;   // the journal of printed labels (engine/Journal); empty: none kept
    bool reprint = false;            // QSOs the journal has printed are printed again
    int directStart = 1;             // the label place of the first sheet where direct cards and their address
                                     // labels start (the bureau's start at the request's start label)
    // One sheet drawn again as it was (a jammed printer): the QSOs of sheet `sheet` of run `run`'s labels of
    // `route` in the journal, from its first place on (the program that makes the drawer sets the start label
    // to it). Nothing is marked or journalled again; the PDF is "<base>_reprint.pdf".
    struct ReprintSheet {
        std::size_t run = 0, sheet = 0;
        Route route = Route::Bureau;
        friend bool operator==(const ReprintSheet&, const ReprintSheet&) = default;
    };
    std::optional<ReprintSheet> reprintSheet;
    friend bool operator==(const RouteChoice&, const RouteChoice&) = default;
};

// The largest first label a sheet can have.
inline constexpr int kMaxStartLabel = 1000;

// Everything one run needs, made once from a profile, the main window or the command line, and not changed
// while the run works: a choice changed meanwhile applies to the next run.
struct RunRequest {
    std::filesystem::path log;          // the ADIF log
    std::filesystem::path swl;          // the SWL file; empty for none
    std::filesystem::path mainDocument; // the main document of one QSO per label ("xxx_1.docx")
    bool merge = true;                  // false: the data-source files only, no main document needed
    LabelSheet sheet;                   // chosen: the labels drawn on it as "<base>_labels.pdf", no main document
    LabelSize labelSize;
    LineFormat format;
    QsoFilterChoice filters;
    int startLabel = 1; // the label place of the first sheet where the labels start
    SentMarking marking;
    bool keepTableDocument = false; // the "Do not delete temporary.doc file" option
    bool pdf = false;               // the label documents as PDF too
    bool polishNames = false;       // month and day names of date pictures in Polish
    LabelOrder order = LabelOrder::Call;
    std::filesystem::path countryFile; // the country file "cty.dat" that bureau order takes (see findCountryFile)
    std::string ownCall;               // the user's call: bureau order puts its country's bundle first
    bool ownBundleLast = false;        // ... or last
    RouteChoice routes;                // with LabelOrder::Routes
    bool routed() const { return order == LabelOrder::Routes; }
    // Where the labels of a batch of `route` start on their first sheet.
    int startLabelOf(Route route) const { return routed() && route == Route::Direct ? routes.directStart : startLabel; }
    // The request the address labels of its direct cards are drawn by: the built-in "address" design, on the
    // route choice's address stock when it names one.
    RunRequest forAddressLabels() const
    {
        RunRequest r = *this;
        r.sheet.design = "address";
        r.startLabel = routes.directStart; // at the places of their cards
        if (!routes.addressStock.empty())
            r.sheet.setName(routes.addressStock);
        return r;
    }
    friend bool operator==(const RunRequest&, const RunRequest&) = default;
};

} // namespace cardmill
