#pragma once

#include <QLabel>
#include <QPushButton>
#include <QWidget>

namespace cardmill {

// The windows keep the design's fixed layout: each control at its place and size, named as the design names it.
template <typename W>
W* placeWidget(QWidget* parent, const char* name, int x, int y, int w, int h)
{
    auto* widget = new W(parent);
    widget->setObjectName(name);
    widget->setGeometry(x, y, w, h);
    return widget;
}

inline QLabel* placeLabel(QWidget* parent, const char* name, const char* text, int x, int y, int w)
{
    auto* l = placeWidget<QLabel>(parent, name, x, y, w, 14);
    l->setText(text);
    return l;
}

inline QPushButton* placeButton(QWidget* parent, const char* name, const char* text, int x, int y, int w, int h)
{
    auto* b = placeWidget<QPushButton>(parent, name, x, y, w, h);
    b->setText(text);
    return b;
}

} // namespace cardmill
