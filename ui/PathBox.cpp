#include "ui/PathBox.h"

#include "engine/Files.h"
#include "ui/ShortenPath.h"
#include "ui/UserInteraction.h"

namespace cardmill {

PathBox::PathBox(std::size_t bound, QWidget* parent)
    : QLineEdit(parent)
    , m_bound(bound)
{
    setReadOnly(true);
}

void PathBox::setPath(const std::filesystem::path& path)
{
    m_path = path;
    // Shown with the system's own separators (Qt's file dialogs and drops give "/" on Windows as well), so
    // that a long path is shortened at its folders.
    const std::string whole = files::utf8Of(std::filesystem::path(path).make_preferred());
    setToolTip(QString::fromStdString(whole));
    setText(QString::fromStdString(
        ShortenPath(whole, m_bound, static_cast<char>(std::filesystem::path::preferred_separator))));
    setCursorPosition(static_cast<int>(text().size())); // a box too narrow shows the file's name
    emit pathChanged();
}

bool PathBox::browse(const std::string& filter, const std::filesystem::path& otherwise)
{
    const std::filesystem::path folder = m_path.empty() ? otherwise : m_path.parent_path();
    const auto file = userInteraction().openFile(window(), filter, folder);
    if (file)
        setPath(*file);
    return file.has_value();
}

} // namespace cardmill
