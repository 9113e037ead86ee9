#pragma once

#include "engine/BureauOrder.h"
#include "engine/DateFormatter.h"
#include "engine/QrgFormatter.h"
#include "engine/Routes.h"
#include "texts/Texts.h"

class QComboBox;

namespace cardmill {

// The lists of the enumerated choices, the same in every window: each item's text in the language of the
// moment and its value (the item's data), and the value a list shows. Filled again in another language, a list
// keeps the value it shows.

void fillLabelOrders(QComboBox* list, Language language);
void showLabelOrder(QComboBox* list, LabelOrder order);
LabelOrder labelOrderIn(const QComboBox* list);

// The default route (bureau, direct, electronic) and where a direct card without an address goes (bureau, held).
void fillDefaultRoutes(QComboBox* list, Language language);
void fillNoAddressRoutes(QComboBox* list, Language language);
void showRoute(QComboBox* list, Route route);
Route routeIn(const QComboBox* list);

void fillQrgFormats(QComboBox* list, Language language);
void showQrgFormat(QComboBox* list, QrgFormat format);
QrgFormat qrgFormatIn(const QComboBox* list);

// The date formats by their samples (the same in every language).
void fillDateFormats(QComboBox* list);
void showDateFormat(QComboBox* list, DateFormat format);
DateFormat dateFormatIn(const QComboBox* list);

} // namespace cardmill
