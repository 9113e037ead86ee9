// Fuzzes the label-stock reader with arbitrary template files, and the main-document maker with every stock
// it accepts: whatever the file, the catalogue is read or the file skipped, and a stock it offers either makes
// documents or is refused with a message.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "stock/MainDocuments.h"
#include "stock/StockCatalogue.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace cardmill;
    static const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("cardmill-fuzz-stock-" + std::to_string(getpid()));
    static const bool made = std::filesystem::create_directories(dir / "out") || true;
    (void)made;
    if (std::FILE* f = std::fopen((dir / "fuzz-templates.xml").c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    StockCatalogue catalogue;
    catalogue.load({dir}, {});
    for (const LabelStock* s : catalogue.search("", true)) {
        s->places();
        MainDocumentRequest r;
        r.stock = *s;
        r.folder = dir / "out";
        r.sizes = {1, 0};
        r.format = size % 2 ? MainDocumentFormat::Odt : MainDocumentFormat::Docx;
        try {
            makeMainDocuments(r);
        } catch (const MainDocumentError&) {
        }
    }
    return 0;
}
