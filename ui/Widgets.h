#pragma once

// Small helpers the windows share when they build their controls.
#include <filesystem>
#include <string>

#include <QAction>
#include <QLineEdit>
#include <QString>
#include <QToolButton>
#include <QWidget>

#include "engine/Files.h"

namespace cardmill {

// One of our UTF-8 texts as Qt shows it.
inline QString toQString(const std::string& utf8)
{
    return QString::fromStdString(utf8);
}

// A path from what a control shows or a dialog gives, and the text that shows a path: through the program's
// UTF-8 helpers, so that a name in any script reaches its file on every system.
inline std::filesystem::path toPath(const QString& text)
{
    return files::pathFromUtf8(text.toStdString()).make_preferred();
}
inline QString pathText(const std::filesystem::path& path)
{
    return QString::fromStdString(files::utf8Of(path));
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

// A line edit's action button (such as its clear button), with its tooltip and the name a screen reader says.
inline void nameActionButton(QAction* action, const QString& name)
{
    action->setToolTip(name);
    for (QObject* o : action->associatedObjects())
        if (auto* button = qobject_cast<QToolButton*>(o))
            button->setAccessibleName(name);
}

// The property that marks a command as one that waits while a run works (see TForm1::setRunning).
inline constexpr const char* kIdleOnly = "idleOnly";
template <typename W>
W* idleOnly(W* widget)
{
    widget->setProperty(kIdleOnly, true);
    return widget;
}

} // namespace cardmill
