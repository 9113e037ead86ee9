#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

class QDialog;
class QWidget;

namespace cardmill {

// Every question the windows put to the user, and every request to the desktop, goes through this one seam,
// so that tests can answer and observe them (see setUserInteraction).
class UserInteraction {
public:
    enum class Icon { None, Information, Warning, Error };
    enum class Answer { Yes, No, Cancel };

    virtual ~UserInteraction() = default;

    // A message box with one "OK" button.
    virtual void message(QWidget* parent, const std::string& caption, const std::string& text, Icon icon) = 0;
    // A question with "Yes" and "No" (and "Cancel" when `withCancel`); closing the box answers No (Cancel).
    // `preferred` is the button Enter presses.
    virtual Answer ask(QWidget* parent, const std::string& caption, const std::string& text, Icon icon, bool withCancel,
                       Answer preferred = Answer::Yes) = 0;
    // A file-open dialog that starts in `folder` (when not empty). `filter` is in the "description|patterns|
    // description|patterns" notation with patterns separated by ";"; the first pair is preselected and
    // patterns match in any letter case. A typed path is taken too. nullopt when the user cancels.
    virtual std::optional<std::filesystem::path> openFile(QWidget* parent, const std::string& filter,
                                                          const std::filesystem::path& folder = {}) = 0;
    // A file-save dialog proposing `proposed` (its folder and name), asking before it replaces a file; the
    // filter as for openFile. nullopt when the user cancels.
    virtual std::optional<std::filesystem::path> saveFile(QWidget* parent, const std::string& filter,
                                                          const std::filesystem::path& proposed) = 0;
    // A folder dialog that starts in `start`; nullopt when the user cancels.
    virtual std::optional<std::filesystem::path> chooseFolder(QWidget* parent, const std::filesystem::path& start) = 0;
    // An input box with `initial` as its text, completing what is typed from `completions` (in any letter
    // case); nullopt when cancelled.
    virtual std::optional<std::string> inputText(QWidget* parent, const std::string& caption, const std::string& prompt,
                                                 const std::vector<std::string>& completions = {},
                                                 const std::string& initial = {}) = 0;
    // Shows a dialog modally and returns its result.
    virtual int execDialog(QDialog& dialog) = 0;
    virtual void beep() = 0;
    // Opens a file with the desktop's default application; false when nothing could.
    virtual bool openWithDesktop(const std::filesystem::path& file) = 0;
};

// The interaction in force: the Qt one, unless a test set its own.
UserInteraction& userInteraction();
// Test hook: answers every question from `interaction` until it is reset with nullptr.
void setUserInteraction(UserInteraction* interaction);

} // namespace cardmill
