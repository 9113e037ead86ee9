#pragma once

#include <QWidget>

#include "texts/Texts.h"

namespace cardmill {

// A window's texts in either language: each control is marked with the text it shows (its caption, a group's
// title, a window's title) and, for a control that shows no text of its own (a text box, a list, a number
// box), with the text that names it to a screen reader. applyCaptions puts them all in one language.
template <typename W>
W* captioned(W* widget, WindowText id)
{
    widget->setProperty("cardmillCaption", static_cast<int>(id));
    return widget;
}
template <typename W>
W* spokenAs(W* widget, WindowText id)
{
    widget->setProperty("cardmillSpokenAs", static_cast<int>(id));
    return widget;
}

// Sets the texts of `window` and of every control in it that is marked, in `language`.
void applyCaptions(QWidget* window, Language language);

} // namespace cardmill
