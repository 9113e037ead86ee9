#pragma once

#include <string>
#include <vector>

#include "settings/DialogRules.h"
#include "texts/Texts.h"
#include "ui/UserInteraction.h"

class QWidget;

namespace cardmill {

// Shows a message of the text table as its entry says: an error or information dialog, or a box with its
// caption and icon, in the language given.
void showTextMessage(QWidget* parent, TextId id, Language language, const std::vector<std::string>& args = {});
void showTextMessage(QWidget* parent, WindowText id, Language language, const std::vector<std::string>& args = {});

// The message for a name that cannot be a profile's.
WindowText profileNameProblemText(ProfileNameProblem problem);

// Shows what a program says at the end of a run: a message as its table entry says, a failure under "Error",
// the closing message with its notes under "Information" (or "Error" when the run did not make all it was
// asked to).
void showEnding(QWidget* parent, const EndingMessage& message, Language language);

// Asks a question of the text table (caption and icon from its entry); `preferred` is the button Enter presses.
UserInteraction::Answer askText(QWidget* parent, WindowText id, Language language, bool withCancel,
                                const std::vector<std::string>& args = {},
                                UserInteraction::Answer preferred = UserInteraction::Answer::Yes);

} // namespace cardmill
