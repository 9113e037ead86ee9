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
    Count
};

} // namespace cardmill
