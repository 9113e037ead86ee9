#pragma once

// Small helpers the windows share when they build their controls.
#include <filesystem>
#include <string>

#include <QLineEdit>
#include <QString>
#include <QWidget>

#include "ui/ShortenPath.h"

namespace cardmill {

// One of our UTF-8 texts as Qt shows it.
inline QString toQString(const std::string& utf8)
{
    return QString::fromStdString(utf8);
}

// A control of type W in `parent`, named as the settings, tests and help refer to it, with a UTF-8 text when
// it shows one.
template <typename W>
W* named(QWidget* parent, const char* name, const char* text = nullptr)
{
    auto* w = new W(parent);
    w->setObjectName(QString::fromLatin1(name));
    if constexpr (requires { w->setText(QString()); })
        if (text)
            w->setText(QString::fromUtf8(text));
    return w;
}

// A path box shows its path shortened to `bound` characters, with the end in view, and holds the whole path as
// its tooltip.
inline void showPath(QLineEdit* box, const std::filesystem::path& path, std::size_t bound)
{
    box->setToolTip(QString::fromStdString(path.string()));
    box->setText(QString::fromStdString(ShortenPath(path.string(), bound)));
    box->setCursorPosition(box->text().size()); // a box too narrow shows the file's name
}

// The whole path a path box holds.
inline std::filesystem::path shownPath(const QLineEdit* box)
{
    return std::filesystem::path(box->toolTip().toStdString());
}

} // namespace cardmill
