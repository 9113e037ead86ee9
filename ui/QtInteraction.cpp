#include "ui/QtInteraction.h"
#include "ui/Widgets.h"

#include <QApplication>
#include <QCompleter>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>
#include <QUrl>

namespace cardmill {

using namespace Qt::StringLiterals;

QString qtFileFilter(const std::string& filter, bool caseBlind)
{
    const QStringList parts = QString::fromStdString(filter).split(u'|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& p : parts[i + 1].split(u';', Qt::SkipEmptyParts)) {
            // Where names are told apart by case, a pattern takes both cases of each letter ("*.ADI" too);
            // where they are not (Windows' own dialogs, which take no such patterns), it stays as it is.
            QString any;
            for (QChar c : p) {
                if (!caseBlind && c.isLetter() && c.toLower() != c.toUpper())
                    any += u"[%1%2]"_s.arg(c.toLower()).arg(c.toUpper());
                else
                    any += c;
            }
            patterns << any;
        }
        out << parts[i] + u" ("_s + patterns.join(u' ') + u')';
    }
    return out.join(u";;"_s);
}

QString qtFileFilter(const std::string& filter)
{
#ifdef _WIN32
    return qtFileFilter(filter, true);
#else
    return qtFileFilter(filter, false);
#endif
}

std::filesystem::path withFilterSuffix(const std::filesystem::path& file, const std::string& filter)
{
    // The first filter's first pattern, "*.pdf": its suffix.
    const std::size_t bar = filter.find('|');
    const std::string patterns = bar == std::string::npos ? std::string() : filter.substr(bar + 1);
    const std::string first = patterns.substr(0, patterns.find_first_of(";|"));
    if (!first.starts_with("*.") || first.find_first_of("*?[", 1) != std::string::npos || file.empty() ||
        file.has_extension())
        return file;
    return files::withSuffix(file, first.substr(1));
}

namespace {

void setIcon(QMessageBox& box, UserInteraction::Icon icon)
{
    switch (icon) {
    case UserInteraction::Icon::Information: box.setIcon(QMessageBox::Information); break;
    case UserInteraction::Icon::Warning: box.setIcon(QMessageBox::Warning); break;
    case UserInteraction::Icon::Error: box.setIcon(QMessageBox::Critical); break;
    case UserInteraction::Icon::None: break;
    }
}

// Puts a box in the middle of the window it speaks for (the active one when it has none), placed before it is
// shown, so that no window system puts it in a corner of the screen instead.
void centre(QDialog& box, QWidget* parent)
{
    QWidget* over = parent ? parent->window() : QApplication::activeWindow();
    if (!over || !over->isVisible())
        return;
    box.adjustSize();
    box.move(over->frameGeometry().center() - QPoint(box.width() / 2, box.height() / 2));
}

} // namespace

UserInteraction::Answer QtInteraction::ask(QWidget* parent, const std::string& caption, const std::string& text,
                                           Icon icon, bool withCancel, Answer preferred)
{
    QMessageBox box(parent);
    box.setWindowTitle(QString::fromStdString(caption));
    box.setText(QString::fromStdString(text));
    setIcon(box, icon);
    box.setStandardButtons(withCancel ? QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel
                                      : QMessageBox::Yes | QMessageBox::No);
    box.setEscapeButton(withCancel ? QMessageBox::Cancel : QMessageBox::No);
    box.setDefaultButton(preferred == Answer::Yes  ? QMessageBox::Yes
                         : preferred == Answer::No ? QMessageBox::No
                                                   : QMessageBox::Cancel);
    centre(box, parent);
    const int r = box.exec();
    return r == QMessageBox::Yes ? Answer::Yes : r == QMessageBox::No ? Answer::No : Answer::Cancel;
}

void QtInteraction::message(QWidget* parent, const std::string& caption, const std::string& text, Icon icon)
{
    QMessageBox box(parent);
    box.setWindowTitle(QString::fromStdString(caption));
    box.setText(QString::fromStdString(text));
    box.setStandardButtons(QMessageBox::Ok);
    setIcon(box, icon);
    centre(box, parent);
    box.exec();
}

std::optional<std::filesystem::path> QtInteraction::openFile(QWidget* parent, const std::string& filter,
                                                             const std::filesystem::path& folder)
{
    const QString file = QFileDialog::getOpenFileName(parent, QString(), pathText(folder), qtFileFilter(filter));
    if (file.isEmpty())
        return std::nullopt;
    return toPath(file);
}

std::optional<std::filesystem::path> QtInteraction::saveFile(QWidget* parent, const std::string& filter,
                                                             const std::filesystem::path& proposed)
{
    const QString file = QFileDialog::getSaveFileName(parent, QString(), pathText(proposed), qtFileFilter(filter));
    if (file.isEmpty())
        return std::nullopt;
    return withFilterSuffix(toPath(file), filter); // "mine" is saved as "mine.pdf"
}

std::optional<std::filesystem::path> QtInteraction::chooseFolder(QWidget* parent, const std::filesystem::path& start)
{
    const QString folder = QFileDialog::getExistingDirectory(parent, QString(), pathText(start));
    if (folder.isEmpty())
        return std::nullopt;
    return toPath(folder);
}

std::optional<std::string> QtInteraction::inputText(QWidget* parent, const std::string& caption,
                                                    const std::string& prompt,
                                                    const std::vector<std::string>& completions,
                                                    const std::string& initial)
{
    QInputDialog dialog(parent);
    dialog.setWindowTitle(QString::fromStdString(caption));
    dialog.setLabelText(QString::fromStdString(prompt));
    dialog.setTextValue(QString::fromStdString(initial));
    if (!completions.empty()) {
        QStringList words;
        for (const std::string& c : completions)
            words << QString::fromStdString(c);
        auto* completer = new QCompleter(words, &dialog);
        completer->setCaseSensitivity(Qt::CaseInsensitive);
        if (auto* edit = dialog.findChild<QLineEdit*>())
            edit->setCompleter(completer);
        // A completion taken from the list is the answer: one Enter, not one for the list and one for the box.
        QObject::connect(completer, qOverload<const QString&>(&QCompleter::activated), &dialog,
                         [&dialog](const QString& chosen) {
                             dialog.setTextValue(chosen);
                             QTimer::singleShot(0, &dialog, &QDialog::accept);
                         });
    }
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue().toStdString();
}

int QtInteraction::execDialog(QDialog& dialog)
{
    return dialog.exec();
}

void QtInteraction::beep()
{
    QApplication::beep();
}

bool QtInteraction::openWithDesktop(const std::filesystem::path& file)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(pathText(file)));
}

} // namespace cardmill
