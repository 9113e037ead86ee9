#pragma once

namespace cardmill {

// Every text the engine shows, by name. The words themselves, in English and Polish, live in one table
// (ui/Texts), so the engine never holds a user-visible string and every host shows the same words.
enum class TextId {
    // Messages of the conversion run.
    NoSourceFile,             // error
    NoLabelDrawing,           // error: a label sheet chosen, but this build draws no labels
    NoMainDocument,           // error
    MainDocumentMissing,      // error
    LogNotFound,              // error; %s = the log path
    InputIsFolder,            // error; %s = the path
    InputNotRegular,          // error; %s = the path
    InputIsOutput,            // error; %s = the input, %s = the output it is
    RunUnderWay,              // error; %s = the log path
    NoDataEmptyLog,           // box "Information", warning icon: the log holds no records
    NoDataFiltered,           // box "Information", warning icon: no QSO passed the filters
    NoDataUnreadable,         // box "Information", warning icon; %s = <base>: no QSO could be read
    ProcessStopped,           // box "Information", error icon
    AllWritten,               // information, when the run writes data-source files without merging
    AllWrittenWithBadRecords, // information; %s = <base>
    // Pieces of the closing message of a merge (see summaryText).
    LabelsReady,               // %s = the label counts, %s = the folder, %s = the documents' name pattern
    LabelsDrawn,               // %s = the PDF, %s = the number of labels, %s = of sheets
    LabelsMadeThisRun,         // the same pieces, after a failure
    NoLabelsMade,              // after a failure
    EarlierLabelsKept,         // after a failure
    MergeFailed,               // the first line of a failed merge's message
    PassFailed,                // %s = the label size, %s = the reason
    SwlPassFailed,             // %s = the reason
    BadRecordsSaved,           // %s = <base>
    QsosMarkedSent,            // %s = the number of QSOs, %s = the file of those QSOs, %s = the whole updated file
    WarningUnknownFields,      // %s = the main document, %s = the field names
    WarningNoMergeFields,      // %s = the main document
    WarningNoNextRecord,       // %s = the main document
    WarningStartLabelUnusable, // %s = the main document
    WarningStartBeyondSheet,   // %s = the main document, %s = its labels per sheet
    // Status texts of the conversion run.
    StatusProcessing,
    StatusProcessingSwl,
    StatusRewriting,
    // Status texts of a merge pass of the built-in engine; %s = the label size, %s = the main document's name.
    StatusMergingLabels,
    StatusMergingSwlLabels, // %s = the main document's name
    StatusLibreOffice,      // %s = the file, %s = seconds
    StatusDrawing,          // %s = the number of labels
    StatusGrouping,         // the labels grouped into the data-source files
    ProcessStoppedNoData,   // box "Information", error icon
    // Failures (see failureText).
    FailureOther,
    FailureReadFolder,
    FailureOpenFile,
    FailureReadFile,
    FailureCreateFile,
    FailureWriteFile,
    FailureFolderInTheWay,
    FailureMakeLock,
    FailureLock,
    FailureMakeWorkFolder,
    FailureNotEnoughMemory,
    FailureMainDocumentMissing,
    FailureMainDocumentNotADocument,
    FailureMainDocumentWrongKind,
    FailureMainDocumentNeedsLibreOffice,
    FailureMainDocumentUnreadable,
    FailureMainDocumentConversion,
    FailureMergeFailed,
    FailureMergeMemory,
    FailureTableDocument,
    FailureLabelDocument,
    FailurePdfNeedsLibreOffice,
    FailurePdfFailed,
    FailureSettingsRead,
    FailureSettingsWrite,
    FailureLogChanged,
    FailureRecordsLeftOut,
    FailurePrinterMissing,
    FailureNoDefaultPrinter,
    NothingMarked,          // %s = why
    PdfsMade,               // %s = the PDFs' names as a pattern
    BureauNeedsCountryFile, // error; %s = the folder where the user may put one
    PackingList,            // %s = the number of bundles, %s = the packing list
    // Drawn labels and printing.
    CalibrationUnreadable,       // note; %s = the sheet, %s = the settings file, %s = the stored value
    ProcessStoppedNotDrawn,      // box "Information", error icon; %s = the older labels PDF, kept as it was
    ProcessStoppedNotDrawnNoPdf, // the same when there was no older labels PDF
    ProcessStoppedNotPrinted,    // box "Information", error icon; %s = the labels PDF, made but not printed
    SheetsPrinted,               // %s = the printer, %s = the number of sheets
    TextCut,                     // %s = labels, %s = the first one's number, %s = its call, %s = the text cut
    FieldsEmpty,                 // %s = the fields the design shows that no QSO has
    OutputTwice,                 // error; %s = the file two of the run's outputs would both be
    FailurePrinterRefusing,
    FailurePrintRefused,
    FailureJournalNotOurs,
    LeftOutAsPrinted, // %s = QSOs left out, %s = the journal
    JournalTorn,      // %s = the journal
    NothingNew,       // no data; %s = QSOs printed before, %s = the journal
    NoSuchSheet,      // error; %s = the sheet, %s = the run, %s = the journal
    Count
};

} // namespace cardmill
