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
    const std::string whole = files::utf8Of(path);
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
