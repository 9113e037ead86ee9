#pragma once

#include <QString>

#include "ui/UserInteraction.h"

namespace cardmill {

// The real dialogs: QMessageBox, QFileDialog, QInputDialog, the desktop's "open" service.
class QtInteraction : public UserInteraction {
public:
    void message(QWidget* parent, const std::string& caption, const std::string& text, Icon icon) override;
    Answer ask(QWidget* parent, const std::string& caption, const std::string& text, Icon icon, bool withCancel,
               Answer preferred) override;
    std::optional<std::filesystem::path> openFile(QWidget* parent, const std::string& filter,
                                                  const std::filesystem::path& folder) override;
    std::optional<std::filesystem::path> saveFile(QWidget* parent, const std::string& filter,
                                                  const std::filesystem::path& proposed) override;
    std::optional<std::filesystem::path> chooseFolder(QWidget* parent, const std::filesystem::path& start) override;
    std::optional<std::string> inputText(QWidget* parent, const std::string& caption, const std::string& prompt,
                                         const std::vector<std::string>& completions,
                                         const std::string& initial) override;
    int execDialog(QDialog& dialog) override;
    void beep() override;
    bool openWithDesktop(const std::filesystem::path& file) override;
};

// A file-dialog filter in Qt's notation ("Description (*.a *.b);;...") from ours ("Description|*.a;*.b|..."),
// matching names in any letter case: where the system tells names apart by case, each letter of a pattern
// takes both ("*.ADI" -> "*.[aA][dD][iI]"); on Windows, whose dialogs take no such patterns and match names
// without regard to case, the patterns stay as they are.
QString qtFileFilter(const std::string& filter);
QString qtFileFilter(const std::string& filter, bool caseBlind);
// A file name typed without a suffix, with the suffix of the filter's first pattern ("mine" -> "mine.pdf").
std::filesystem::path withFilterSuffix(const std::filesystem::path& file, const std::string& filter);

} // namespace cardmill
