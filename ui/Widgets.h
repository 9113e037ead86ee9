#pragma once

// Small helpers the windows share when they build their controls.
#include <QString>
#include <QWidget>

namespace cardmill {

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

} // namespace cardmill
