#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace cardmill {

// What went wrong, as an id, the file concerned and the detail the system or a lower layer gave (its own
// words, such as "No such file or directory"), so that each program says it in the user's language through
// its text table. Like a parse result, it is data; FailureError carries it as an exception.
enum class FailureId {
    Other,      // only the detail says what
    ReadFolder, // a folder where a file was to be read
    OpenFile,
    ReadFile,
    CreateFile,
    WriteFile,
    FolderInTheWay, // a folder has the name of a file to be written
    MakeLock,
    Lock,
    MakeWorkFolder,
    NotEnoughMemory, // converting the log at `path`
    MainDocumentMissing,
    MainDocumentNotADocument,
    MainDocumentWrongKind,        // a package, but neither WordprocessingML nor OpenDocument text
    MainDocumentNeedsLibreOffice, // a Word 97 main document and no LibreOffice
    MainDocumentUnreadable,
    MainDocumentConversion, // a Word 97 main document LibreOffice could not convert
    MergeFailed,
    MergeMemory,
    TableDocument,
    LabelDocument,
    PdfNeedsLibreOffice, // `detail`: the label documents, which stay as they are
    PdfFailed,           // `detail`: why; `path`: the label documents' folder
    SettingsRead,
    SettingsWrite,
    LogChanged,      // the log (or SWL file) at `path` is no longer what the run read: nothing was marked as sent
    RecordsLeftOut,  // the main document at `path` put only some records on labels; `detail`: "12 of 30"
    PrinterMissing,  // no printer of the name `detail` (empty: no default printer)
    PrinterRefusing, // the printer `name` takes no jobs; `detail`: the reason its queue gives
    PrintRefused,    // the print system did not take the job for the printer `name`; `detail`: its words
    JournalNotOurs,  // the journal of printed labels at `path` is something else
};

struct Failure {
    FailureId id = FailureId::Other;
    std::filesystem::path path;
    std::string detail;
    std::string name = {}; // what the failure is about when it is not a file: a printer
};

// A failure thrown: it abandons what met it. what() is a plain English account for logs; users read the text
// the program makes of failure().
class FailureError : public std::runtime_error {
public:
    explicit FailureError(Failure failure);
    // With what() given in English words (for the callers that print it as it is).
    FailureError(Failure failure, const std::string& english);
    const Failure& failure() const { return m_failure; }

private:
    Failure m_failure;
};

// An input/output failure on a named file.
class IoError : public FailureError {
public:
    IoError(FailureId id, const std::filesystem::path& path, std::string detail = {})
        : FailureError({id, path, std::move(detail)})
    {
    }
    const std::filesystem::path& path() const { return failure().path; }
};

} // namespace cardmill
