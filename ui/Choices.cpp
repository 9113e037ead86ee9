#include "ui/Choices.h"

#include <QComboBox>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "ui/Widgets.h"

namespace cardmill {

namespace {

// Fills `list` with texts and values, keeping the value it showed.
void fill(QComboBox* list, const std::vector<std::pair<std::string, int>>& items)
{
    const QVariant shown = list->currentData();
    list->clear();
    for (const auto& [text, value] : items)
        list->addItem(toQString(text), value);
    const int at = shown.isValid() ? list->findData(shown) : -1;
    list->setCurrentIndex(at >= 0 ? at : 0);
}

void show(QComboBox* list, int value)
{
    const int at = list->findData(value);
    if (at >= 0)
        list->setCurrentIndex(at);
}

int valueIn(const QComboBox* list, int fallback)
{
    const QVariant v = list->currentData();
    return v.isValid() ? v.toInt() : fallback;
}

} // namespace

void fillLabelOrders(QComboBox* list, Language language)
{
    fill(list, {{textFor(WindowText::OrderByCall, language), static_cast<int>(LabelOrder::Call)},
                {textFor(WindowText::OrderForBureau, language), static_cast<int>(LabelOrder::Bureau)},
                {textFor(WindowText::OrderByRoute, language), static_cast<int>(LabelOrder::Routes)}});
}

void showLabelOrder(QComboBox* list, LabelOrder order)
{
    show(list, static_cast<int>(order));
}

LabelOrder labelOrderIn(const QComboBox* list)
{
    return static_cast<LabelOrder>(valueIn(list, static_cast<int>(LabelOrder::Call)));
}

void fillDefaultRoutes(QComboBox* list, Language language)
{
    fill(list, {{textFor(WindowText::RouteByBureau, language), static_cast<int>(Route::Bureau)},
                {textFor(WindowText::RouteDirect, language), static_cast<int>(Route::Direct)},
                {textFor(WindowText::RouteElectronic, language), static_cast<int>(Route::Electronic)}});
}

void fillNoAddressRoutes(QComboBox* list, Language language)
{
    fill(list, {{textFor(WindowText::NoAddressByBureau, language), static_cast<int>(Route::Bureau)},
                {textFor(WindowText::NoAddressHeld, language), static_cast<int>(Route::Held)}});
}

void showRoute(QComboBox* list, Route route)
{
    show(list, static_cast<int>(route));
}

Route routeIn(const QComboBox* list)
{
    return static_cast<Route>(valueIn(list, static_cast<int>(Route::Bureau)));
}

void fillQrgFormats(QComboBox* list, Language language)
{
    std::vector<std::pair<std::string, int>> items;
    for (int i = 0; i < kQrgFormatCount; ++i)
        items.emplace_back(std::string(qrgFormatName(i, language)), i);
    fill(list, items);
}

void showQrgFormat(QComboBox* list, QrgFormat format)
{
    show(list, static_cast<int>(format));
}

QrgFormat qrgFormatIn(const QComboBox* list)
{
    return qrgFormatAt(valueIn(list, static_cast<int>(QrgFormat::MetersWithUnit)));
}

void fillDateFormats(QComboBox* list)
{
    std::vector<std::pair<std::string, int>> items;
    for (int i = 0; i < DateFormat::kCount; ++i)
        items.emplace_back(std::string(DateFormat::kSamples[static_cast<std::size_t>(i)]), i);
    fill(list, items);
}

void showDateFormat(QComboBox* list, DateFormat format)
{
    show(list, format.index());
}

DateFormat dateFormatIn(const QComboBox* list)
{
    return DateFormat::of(valueIn(list, 0)).value_or(DateFormat());
}

} // namespace cardmill
