#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "engine/MergeDriver.h"

namespace cardmill {

// Every failure a word processor reports: its text is the processor's own message.
class WordProcessorError : public MergeError {
public:
    using MergeError::MergeError;
};

// The boundary to a word processor, shaped after the automation operations the mail-merge driver uses
// (Word's object model names in brackets). The driver talks only to this interface; a backend (the built-in
// merge engine, Microsoft Word through COM, another office suite) implements it without touching the driver.
// Every operation throws WordProcessorError when the processor reports a failure.
//
// Text crosses the boundary as the data-source file holds it: 8-bit bytes, never converted by the driver.
// A backend turns each comma-separated value into Unicode on its own: UTF-8 when that value's bytes are valid
// UTF-8, Windows-1250 otherwise (see decodeValue), so one log with mixed encodings reads right value by value.
class WordProcessor {
public:
    // Handles of the processor's objects; 0 is no object.
    struct Document {
        int id = 0;
        friend bool operator==(Document, Document) = default;
    };
    struct Range {
        int id = 0;
        friend bool operator==(Range, Range) = default;
    };

    // Word's constants that the driver passes.
    static constexpr int kCollapseEnd = 0;           // Range.Collapse Direction: to the end
    static constexpr int kTableFormatGrid1 = 16;     // Range.ConvertToTable Format: "Grid 1"
    static constexpr int kFormatDocument = 0;        // Document.SaveAs FileFormat: a word-processor document
    static constexpr int kDataSourceAuto = 0;        // MailMerge.OpenDataSource Format: automatic
    static constexpr int kDestinationNewDocument = 0; // MailMerge.Destination: a new document

    virtual ~WordProcessor() = default;

    // The application connection: to a running processor if there is one, else one just started. Disconnecting
    // never tells the processor to quit; a second disconnect does nothing.
    virtual void connect() = 0;
    virtual void disconnect() = 0;

    // A new blank document, which becomes the active document with the selection in it. [Documents.Add]
    virtual Document addDocument() = 0;
    // [Application.ActiveDocument]
    virtual Document activeDocument() = 0;
    // A range at the selection in the active document. [Application.Selection.Range]
    virtual Range selectionRange() = 0;
    // [Range.Collapse(Direction)]
    virtual void collapse(Range range, int direction) = 0;
    // Adds the text at the end of the range, which grows to include it. [Range.InsertAfter]
    virtual void insertAfter(Range range, std::string_view text) = 0;
    // Adds a paragraph mark at the end of the range, which grows to include it. [Range.InsertParagraphAfter]
    virtual void insertParagraphAfter(Range range) = 0;
    // One table row per paragraph, one cell per separated value. [Range.ConvertToTable(Separator, Format)]
    virtual void convertToTable(Range range, std::string_view separator, int format) = 0;
    // Writes the document, replacing a file of that name. [Document.SaveAs(FileName, FileFormat,
    // AddToRecentFiles)]
    virtual void saveAs(Document document, const std::filesystem::path& fileName, int fileFormat,
                        bool addToRecentFiles) = 0;
    // [Document.Close], its arguments omitted.
    virtual void close(Document document) = 0;
    // Opens a document; a missing or unreadable file is reported as an error. [Documents.Open(FileName)]
    virtual Document open(const std::filesystem::path& fileName) = 0;
    // Makes the table document the document's mail-merge data source. [MailMerge.OpenDataSource(Name, Format)]
    virtual void openDataSource(Document document, const std::filesystem::path& name, int format) = 0;
    // [MailMerge.Destination]
    virtual void setMergeDestination(Document document, int destination) = 0;
    // Merges into a new document, which is left open. [MailMerge.Execute(Pause)]
    virtual void executeMerge(Document document, bool pause) = 0;
    // Shows the processor and the merged documents to the user. [Application.Visible]
    virtual void setVisible(bool visible) = 0;

    // For a processor without a window of its own, which saves every merged document as a file: a new run's
    // merge phase begins (earlier merged documents are no longer this run's), and where the next merged
    // document goes (a path without extension; the processor adds the one of its format). Word ignores both.
    virtual void startMergePhase() {}
    virtual void setMergedDocumentStem(const std::filesystem::path& stem) { (void)stem; }
};

// One comma-separated value of a data-source file as Unicode (UTF-8): the bytes themselves when they are valid
// UTF-8, else read as Windows-1250.
std::string decodeValue(std::string_view bytes);

// True when the bytes are valid UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF).
bool isValidUtf8(std::string_view bytes);

} // namespace cardmill
