#include "ui/Captions.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QVariant>

#include "ui/Widgets.h"

namespace cardmill {

namespace {

void apply(QWidget* w, Language language)
{
    const QVariant caption = w->property("cardmillCaption");
    if (caption.isValid()) {
        const QString text = toQString(textFor(static_cast<WindowText>(caption.toInt()), language));
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            button->setText(text);
        else if (auto* label = qobject_cast<QLabel*>(w))
            label->setText(text);
        else if (auto* group = qobject_cast<QGroupBox*>(w))
            group->setTitle(text);
        else if (w->isWindow())
            w->setWindowTitle(text);
    }
    const QVariant spoken = w->property("cardmillSpokenAs");
    if (spoken.isValid()) {
        QString name = toQString(textFor(static_cast<WindowText>(spoken.toInt()), language));
        name.remove(u'&'); // an access key's mark is not spoken
        w->setAccessibleName(name.trimmed());
    }
}

} // namespace

void applyCaptions(QWidget* window, Language language)
{
    apply(window, language);
    for (QWidget* w : window->findChildren<QWidget*>())
        apply(w, language);
}

} // namespace cardmill
