#pragma once

#include <QLineEdit>

#include <cstddef>
#include <filesystem>
#include <string>

namespace cardmill {

// A box that holds a file's whole path and shows it shortened to `bound` characters (ShortenPath), with the
// file's name in view and the whole path as its tool tip. The user sets it with a file dialog, not by typing.
class PathBox : public QLineEdit {
    Q_OBJECT

public:
    PathBox(std::size_t bound, QWidget* parent = nullptr);

    const std::filesystem::path& path() const { return m_path; }
    void setPath(const std::filesystem::path& path);

    // Asks for a file with the file dialog, `filter` as UserInteraction::openFile takes it, starting in the
    // folder of this box's file, else in `otherwise`. True when a file was chosen (and is now the box's).
    bool browse(const std::string& filter, const std::filesystem::path& otherwise = {});

signals:
    void pathChanged();

private:
    std::filesystem::path m_path;
    std::size_t m_bound;
};

} // namespace cardmill
