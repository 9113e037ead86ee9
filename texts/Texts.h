#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "engine/RunSummary.h"
#include "engine/TextId.h"
#include "stock/LabelStock.h"
#include "texts/WindowText.h"

namespace cardmill {

enum class Language { English, Polish };

// How a message is shown.
enum class MessageKind {
    None,        // a status text or caption, not a message
    Error,       // an error dialog with one "OK" button
    Information, // an information dialog with one "OK" button
    Box,         // a plain message box with a caption and an icon
};
enum class MessageIcon { None, Error, Warning, Information };

struct TextEntry {
    MessageKind kind;
    MessageIcon icon;   // for boxes
    WindowText caption; // for boxes
    std::string_view english;
    std::string_view polish; // UTF-8
};

// The table entry of a text. The tables are switches over the ids, so that a text missing is a compile error.
TextEntry textEntry(TextId id);
TextEntry textEntry(WindowText id);

// The text in a language, every "%s" replaced by `arg`. TextId::Count gives the empty text.
std::string textFor(TextId id, Language language, std::string_view arg = {});
// The text with its "%s" replaced by the arguments in turn.
std::string textFor(TextId id, Language language, std::initializer_list<std::string_view> args);

std::string textFor(TextId id, Language language, const std::vector<std::string>& args);
// The same for the windows' own texts.
std::string textFor(WindowText id, Language language, std::string_view arg = {});
std::string textFor(WindowText id, Language language, std::initializer_list<std::string_view> args);
std::string textFor(WindowText id, Language language, const std::vector<std::string>& args);

// A pattern with each "%s" replaced by the next argument (the last one serving every "%s" after it).
std::string fillPattern(std::string_view pattern, const std::vector<std::string>& args);

// The closing message of a run: the label documents made, with how many labels of each size, where they are,
// what failed, and the bad-records file.
std::string summaryText(const RunSummary& summary, Language language);
// A failure in a language: what went wrong, the file, and the system's detail.
std::string failureText(const Failure& failure, Language language);
// What the user should know about the main documents, a line each; empty when nothing.
std::string warningsText(const RunSummary& summary, Language language);

// What a program says when a run has ended, piece by piece, in order: each program shows the pieces its own
// way (the windows as message boxes, the command line on its two streams).
struct EndingMessage {
    enum class Role {
        Message, // one of the run's messages: `id` says its kind, icon and caption
        Failure, // the error that ended the run
        Summary, // the closing message: what was made and where, what failed, the bad-records file
    };
    Role role = Role::Message;
    TextId id = TextId::Count; // for a message
    std::string text;          // in the language asked
    std::string notes;         // for a summary: what the user should know about the main documents; may be empty
    bool failed = false;       // for a summary: the run did not make all it was asked to
};
std::vector<EndingMessage> endingMessages(const RunResult& result, Language language);

// Why main documents cannot be made, in a language.
std::string stockProblemText(const StockProblem& problem, Language language);

// A label stock's description as the catalogue's makers wrote it (English), in a language: the descriptions of
// most stocks put into Polish, any other as it is.
std::string stockDescriptionText(const std::string& description, Language language);

// The name of a QRG format (0 to 7) in a language, as the lists show it.
std::string_view qrgFormatName(int index, Language language);

} // namespace cardmill
