#pragma once

namespace cardmill {

// The windows' own texts: captions, labels, buttons and the messages of the dialogs (the run's messages are
// TextId's). The text table in Texts.cpp holds both in English and Polish.
enum class WindowText {
    // Captions of message boxes.
    CaptionInformation,
    CaptionError,
    CaptionAttention,
    // The windows' own texts (file-dialog filters, messages, captions of the language operation).
    FilterAdif,
    FilterMainDocument,
    ArchiveFailed, // error; %s = the SWL file, %s = the archive name
    UnableToWrite, // error; %s = the settings file
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
    NoValidProfile,         // box "Information", warning icon
    NoProfileName,          // error
    ProfileExists,          // error
    CannotDeleteNew,        // error
    DeleteProfile,          // question, caption "Attention"
    ProfileChangesNotSaved, // question, caption "Attention"; %s = the profile
    NewProfileNotSaved,     // question, caption "Information"
    NotAnInteger,           // error; %s = the value
    NoProfileSelected,      // error
    SeparatorComma,         // error
    // The dialog for new main documents and the start position.
    ButtonNewMainDocs, // the button beside the main document's "Browse"
    LabelFirstLabel,
    LabelOrderCaption, // "Label order"
    OrderByCall,
    OrderForBureau,
    OrderByRoute,
    // Each QSO on its route: the dialog of its choices, "Reprint sheet...", and the preview's batches.
    ButtonRoutes,
    RoutesTitle,
    RoutesDefault,
    RouteByBureau,
    RouteDirect,
    RouteElectronic,
    RoutesNoAddress,
    NoAddressByBureau,
    NoAddressHeld,
    RoutesAddressSheet,
    RoutesAddressSheetSame, // the hint of the empty box: the label sheet's own stock
    RoutesDirectStart,
    RoutesReprintGroup,
    RoutesReprintRun,
    RoutesReprintRunEntry, // %s = run, %s = date, %s = bureau sheets, %s = direct sheets
    RoutesReprintSheet,
    RoutesReprintLabels,
    RoutesReprintBureau,
    RoutesReprintDirect,
    ButtonReprintSheet,
    RoutesNoRunsYet,
    RoutesJournalUnreadable, // %s = why
    PreviewBatch,
    PreviewBatchBureau,    // %s = labels
    PreviewBatchDirect,    // %s = labels
    PreviewBatchAddresses, // %s = labels
    StockTitle,
    StockUseSheet,     // the button that takes the stock for labels drawn by the program
    LabelSheetCaption, // "Label sheet"
    LabelSheetNone,    // the sheet box's hint when none is chosen
    ButtonChooseSheet,
    ClearSheet, // tooltip of the sheet box's clear button
    ButtonEditDesign,
    DesignerTitle,
    DesignerCanvas,
    DesignerStartFrom,
    DesignerOpen,
    DesignerSave,
    DesignerSaveAs,
    DesignerUndo,
    DesignerRedo,
    DesignerAddText,
    DesignerDelete,
    DesignerClose,
    DesignerText,
    DesignerOnlyWith,
    DesignerFont,
    DesignerSize,
    DesignerBold,
    DesignerItalic,
    DesignerAlign,
    DesignerAlignLeft,
    DesignerAlignCentre,
    DesignerAlignRight,
    DesignerLeft,
    DesignerTop,
    DesignerWidth,
    DesignerHeight,
    DesignerColumns,
    DesignerColumnField,
    DesignerColumnHeading,
    DesignerAddColumn,
    DesignerRemoveColumn,
    DesignerNoSelection,
    DesignerUnsaved,
    DesignerCannotSave,
    DesignCaption,    // "Design": what the drawn labels look like
    ButtonDesignFile, // opens a design file
    FilterDesign,
    PreviewTitle, // %s = the PDF's file name
    PreviewPage,  // %s = the page, %s = the pages
    PreviewZoom,
    PreviewSheetShown, // the accessible name of the sheet number box
    PreviewPrint,
    PreviewSavePdf,
    PreviewClose,
    PreviewOffset, // "Printer offset"
    PreviewRight,  // "right (mm)"
    PreviewDown,
    PreviewScale,          // "scale (%)"        // "down (mm)"
    PreviewCalibration,    // the button that saves the calibration page
    PreviewSaved,          // information; %s = the PDF
    PreviewPrinted,        // information; %s = the printer, %s = the sheets
    PreviewPrintCancelled, // information; %s = the printer
    PreviewPrinting,       // what the progress window of printing says
    PreviewSaving,         // ... of saving a PDF
    PreviewSaveCancelled,  // information; %s = the file
    FilterPdf,
    SheetUnknown,   // error; %s = the sheet
    UnknownProfile, // error; %s = the name, %s = the settings file, %s = the profiles, a line each
    NoProfilesYet,  // the list of profiles when there is none
    StockStock,
    StockSearchHint,
    StockCustom,
    StockCustomPaper,
    StockLabelsCount, // %s = the labels on a sheet
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
    StockReplace,       // question, caption "Attention"; %s = the documents, a line each
    StockMade,          // information; %s = the folder, %s = the documents
    StockFailed,        // error; %s = what went wrong
    StockNoFolder,      // error
    CloseWithoutSaving, // question
    StopRunAndClose,    // question, caption "Attention"
    CannotOpenFile,     // question; %s = the file
    CannotOpenFolder,   // %s = the folder
    ArchiveDone,        // %s = the SWL file, %s = its new name
    ProfileNameBrackets,
    ProfileNameBlanks,
    ProfileNameControl,
    ProfileNameReserved, // %s = the name
    FieldBlanks,         // %s = the name
    FieldFixed,          // %s = the name
    FieldTwice,          // %s = the name
    FieldUnknown,        // error; %s = the name
    AddFieldCaption,
    AddFieldPrompt,
    ClearSwlFile,          // the SWL box's clear button
    ClearSearch,           // the stock search's clear button
    StatusVersion,         // the status bar at start; %s = the version
    PrintJobName,          // the name of a print job of labels
    CalibrationJobName,    // ... of the calibration page
    NoOwnCall,             // question: a drawn run without a call sign
    QsosOutOfRange,        // error; %s = what the box holds
    PreviewCalibrationPdf, // "Save as PDF..." beside "Calibration page..."
    CalibrationPrinted,    // information; %s = the printer or file
    CalibrationPrinting,   // the progress window of the calibration page
    PreviewTitleBeforeRun, // the preview's title before a run made a PDF
    // Why main documents cannot be made (see stockProblemText); their values fill the "%s" in turn.
    StockProblemNoPaperSize,
    StockProblemNoLabelSize,
    StockProblemNoLabels,
    StockProblemTooManyLabels,
    StockProblemOffThePaper,
    StockProblemOverlap,
    StockProblemNotRectangular,
    StockProblemNoSizeChosen,
    StockProblemOneTableOnly,
    StockProblemTooSmallNoneFits,
    StockProblemTooSmallOneFits,
    StockProblemTooSmall,
    StockProblemNoFolder,
    StockProblemFolderInTheWay,
    StockProblemCannotWrite,
    StockProblemCannotPlace,
    StockProblemCannotPlaceAfterOthers,
    StockProblemPaperOutOfRange,
    StockProblemLabelOutOfRange,
    StockProblemStartPastSheet,
    StockProblemGridShape,
    StockProblemRollShape,
    StockProblemGridPaper,
    StockProblemGridPaperLength,
    StockProblemGridCounts,
    StockProblemGridLength,
    StockProblemSheetUnknown,
    StockProblemDatabaseMissing,
    StockNoteTextNearPaperEdge,
    // Captions of the windows' controls, and the names a screen reader says for them.
    CaptionProfile,
    ButtonProfilesSetup,
    LabelSwlFile,
    ButtonBrowseLog,
    ButtonBrowseSwl,
    ButtonBrowseMain,
    ButtonArchive,
    ButtonFilters,
    ButtonStop,
    ButtonStart,
    ButtonExit,
    ButtonHelp,
    FiltersTitle,
    ButtonPreview,
    PreviewNeedsSheet, // error
    FirstStartHint,
    KeepAsProfileCaption,
    KeepAsProfilePrompt,
    KeepAsProfileName,
    CheckBlank,
    FilterCallSign,
    FilterFromDate,
    FilterToDate,
    OrderCaption,
    SetupTitle,
    SetupProfileName,
    SetupNewName,
    SetupBrowse,
    SetupMainDocument,
    SetupSeparator,
    SetupSeparatorName,
    SetupQsos,
    SetupQsosCaption,
    SetupDelete,
    SetupNewProfile,
    SetupApply,
    SetupOk,
    ConfigTitle,
    ConfigFixed,
    ConfigUser,
    ConfigAdd,
    ConfigDelete,
    ConfigTemporary,
    ConfigPdf,
    ConfigMarkSent,
    ConfigViaNotSet,
    ConfigViaBureau,
    ConfigViaDirect,
    ConfigViaElectronic,
    ConfigOwnLast,
    ConfigPolish,
    ConfigExit,
    Count
};

} // namespace cardmill
