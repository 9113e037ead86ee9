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
    NoData,                   // box "Information", warning icon
    ProcessStopped,           // box "Information", error icon
    AllSent,                  // information
    AllSentWithBadRecords,    // information; %s = <base>
    AllWritten,               // information, when the run writes data-source files without merging
    AllWrittenWithBadRecords, // information; %s = <base>
    // Status texts of the conversion run.
    StatusProcessing,
    StatusProcessingSwl,
    StatusRewriting,
    // Status texts of a mail-merge pass; %s = the label size. The SWL pass has texts of its own.
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
    Count
};

} // namespace cardmill
