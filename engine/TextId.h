#pragma once

namespace cardmill {

// Every text the engine shows, by name. The words themselves, in English and Polish, live in one table
// (ui/Texts), so the engine never holds a user-visible string and every host shows the same words.
enum class TextId {
    // Messages of the conversion run.
    NoSourceFile,             // error
    NoMainDocument,           // error
    MainDocumentMissing,      // error
    LogNotFound,              // error; %s = the log path
    InputIsFolder,            // error; %s = the path
    InputNotRegular,          // error; %s = the path
    InputIsOutput,            // error; %s = the input, %s = the output it is
    RunUnderWay,              // error; %s = the log path
    NoData,                   // box "Information", warning icon (a word processor's wording)
    NoDataEmptyLog,           // box "Information", warning icon: the log holds no records
    NoDataFiltered,           // box "Information", warning icon: no QSO passed the filters
    NoDataUnreadable,         // box "Information", warning icon; %s = <base>: no QSO could be read
    ProcessStopped,           // box "Information", error icon
    AllSent,                  // information
    AllSentWithBadRecords,    // information; %s = <base>
    AllWritten,               // information, when the run writes data-source files without merging
    AllWrittenWithBadRecords, // information; %s = <base>
    // Pieces of the closing message of a merge (see summaryText).
    LabelsReady,              // %s = the label counts, %s = the folder, %s = the documents' name pattern
    LabelsMadeThisRun,        // the same pieces, after a failure
    NoLabelsMade,             // after a failure
    EarlierLabelsKept,        // after a failure
    MergeFailed,              // the first line of a failed merge's message
    PassFailed,               // %s = the label size, %s = the reason
    SwlPassFailed,            // %s = the reason
    BadRecordsSaved,          // %s = <base>
    QsosMarkedSent,           // %s = the number of QSOs, %s = the file of those QSOs, %s = the whole updated file
    WarningUnknownFields,     // %s = the main document, %s = the field names
    WarningNoMergeFields,     // %s = the main document
    WarningNoNextRecord,      // %s = the main document
    WarningStartLabelUnusable, // %s = the main document
    WarningStartBeyondSheet,  // %s = the main document, %s = its labels per sheet
    // Status texts of the conversion run.
    StatusProcessing,
    StatusProcessingSwl,
    StatusRewriting,
    // Status texts of a merge pass of the built-in engine; %s = the label size, %s = the main document's name.
    StatusMergingLabels,
    StatusMergingSwlLabels,   // %s = the main document's name
    // Status texts of a mail-merge pass through a word processor's automation; %s = the label size. The SWL pass
    // has texts of its own.
    StatusMergeSend,
    StatusMergeConvert,
    StatusMergeSave,
    StatusMergeOpen,
    StatusMergeMerge,
    StatusMergeClose,
    StatusMergeSendSwl,
    StatusMergeConvertSwl,
    StatusMergeSaveSwl,
    StatusMergeOpenSwl,
    StatusMergeMergeSwl,
    // Captions of message boxes.
    CaptionInformation,
    CaptionError,
    CaptionAttention,
    // The windows' own texts (file-dialog filters, messages, captions of the language operation).
    FilterAdif,
    FilterMainDocument,
    ArchiveFailed,       // error; %s = the SWL file, %s = the archive name
    UnableToWrite,       // error; %s = the settings file
    LabelSourceFile,
    LabelMainDocument,
    LabelQrgFormat,
    LabelQsosNo,
    LabelOnOneLabel,
    LabelFrom,
    LabelTo,
    LabelDateFormat,
    CheckDateRange,
    CheckCall,
    ButtonConfig,
    // Profiles.
    NoValidProfile,       // box "Information", warning icon
    NoProfileName,        // error
    ProfileExists,        // error; English only
    CannotDeleteNew,      // error; English only
    DeleteProfile,        // question, caption "Attention"
    NewProfileNotSaved,   // question, caption "Information"
    NotAnInteger,         // error; %s = the value
    NoProfileSelected,    // error
    SeparatorComma,       // error
    StatusLibreOffice,    // %s = the file, %s = seconds
    // The dialog for new main documents and the start position.
    ButtonNewMainDocs,        // the button beside the main document's "Browse"
    LabelFirstLabel,
    StockTitle,
    StockStock,
    StockSearchHint,
    StockCustom,
    StockPaper,
    StockColumnsRows,
    StockLabelSize,
    StockFirstPlace,
    StockPitch,
    StockOwnCall,
    StockSizes,
    StockFormat,
    StockFolder,
    StockBrowse,
    StockCreate,
    StockNoDatabase,
    StockTooSmall,
    StockReplace,             // question, caption "Attention"; %s = the documents, a line each
    StockMade,                // information; %s = the folder, %s = the documents
    StockFailed,              // error; %s = what went wrong
    StockNoFolder,            // error
    ProcessStoppedNoData,     // box "Information", error icon
    CloseWithoutSaving,       // question
    CannotOpenFile,           // question; %s = the file
    CannotOpenFolder,         // %s = the folder
    ArchiveDone,              // %s = the SWL file, %s = its new name
    ProfileNameBrackets,
    ProfileNameBlanks,
    ProfileNameControl,
    ProfileNameReserved,      // %s = the name
    FieldBlanks,              // %s = the name
    FieldFixed,               // %s = the name
    FieldTwice,               // %s = the name
    AddFieldCaption,
    AddFieldPrompt,
    ClearSwlFile,             // the SWL box's clear button
    Count
};

} // namespace cardmill
