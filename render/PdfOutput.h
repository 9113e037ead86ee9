#pragma once

#include <QPageLayout>
#include <QString>

#include <filesystem>
#include <memory>

class QPdfWriter;

namespace cardmill {

// A PDF written at `path` under a part name as Qt's PDF engine makes it, never whole in memory, and put in place
// only when it is complete. A write that fails (a full disk) is kept, not thrown through Qt's engine, which
// goes on writing as it ends; finish() then says it, naming the file. Not finished, the part file goes and an
// older file at `path` stays as it was.
class PdfOutput {
public:
    // Throws IoError when the part file cannot be made.
    PdfOutput(const std::filesystem::path& path, const QPageLayout& layout, const QString& title = {});
    ~PdfOutput();
    PdfOutput(const PdfOutput&) = delete;
    PdfOutput& operator=(const PdfOutput&) = delete;

    // What the pages are painted on, at 72 dots an inch.
    QPdfWriter& writer();
    // Puts the PDF in place; the painter must have ended. Throws IoError naming the file when a write failed.
    void finish();

private:
    class Device;
    struct Parts;
    std::unique_ptr<Parts> m;
};

} // namespace cardmill
