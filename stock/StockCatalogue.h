#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "stock/LabelStock.h"

namespace cardmill {

// The label stocks of the gLabels stock database (Debian's glabels-data) and of the user's own gLabels
// templates, read from their XML files.
class StockCatalogue;

// The stock a label sheet's name stands for: a custom grid (a name that holds commas), or a stock of the
// catalogue by its name; otherwise why not (a grid that cannot be read, a name the catalogue lacks, no stock
// database). Both programs find their sheets so.
struct SheetStock {
    std::optional<LabelStock> stock;
    std::optional<StockProblem> problem;
};
SheetStock stockForSheet(const std::string& sheet, const StockCatalogue& catalogue);

class StockCatalogue {
public:
    // Where the database is installed: "libglabels-3.0/templates" under $XDG_DATA_HOME and each folder of
    // $XDG_DATA_DIRS (/usr/local/share:/usr/share when unset).
    static std::vector<std::filesystem::path> systemFolders();
    // Where gLabels keeps the user's own stocks: $XDG_CONFIG_HOME/libglabels/templates (~/.config/...).
    static std::filesystem::path userFolder();

    // Reads "paper-sizes.xml" and every "*-templates.xml" of the system folders, then every "*.template" of
    // the user folder. A file that cannot be read, and a stock that makes no sense, is left out with a
    // warning that names it.
    void load(const std::vector<std::filesystem::path>& systemFolders, const std::filesystem::path& userFolder);
    void loadInstalled() { load(systemFolders(), userFolder()); }

    // Whether any file of the stock database was found.
    bool databaseFound() const { return m_databaseFound; }
    // Every stock, ordered by brand and part.
    const std::vector<LabelStock>& stocks() const { return m_stocks; }
    const std::vector<std::string>& warnings() const { return m_warnings; }

    // The stocks whose brand, part or description hold every word of `words` (letter case aside);
    // rectangular ones only unless `allShapes`.
    std::vector<const LabelStock*> search(std::string_view words, bool allShapes = false) const;
    // A stock by its name ("Avery L7163"), or by its part alone when only one brand has it; letter case
    // aside. Null when there is none.
    const LabelStock* find(std::string_view name) const;

private:
    struct Pending; // a stock that names another as its equal
    void readTemplates(const std::filesystem::path& file, std::vector<Pending>& equivalents);

    std::vector<PaperSize> m_papers;
    std::vector<LabelStock> m_stocks;
    std::vector<std::string> m_warnings;
    bool m_databaseFound = false;
};

// The text that says the database is missing and which package brings it.
inline constexpr const char* kStockDatabaseMissing =
    "The label-stock database is not installed (Debian package glabels-data): only a custom grid can be used.";

} // namespace cardmill
