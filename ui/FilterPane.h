#pragma once

#include <QFrame>

#include <array>
#include <string>
#include <vector>

#include "engine/RunRequest.h"
#include "settings/SettingsStore.h"
#include "texts/Texts.h"

class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;

namespace cardmill {

// The filter area of the main window: the call filter, the date range and the three QSL-flag filters with
// their boxes. A run takes them as they are when it starts; switching a filter on enables its boxes, off
// disables them (their ticks stay).
class FilterPane : public QFrame {
    Q_OBJECT

public:
    explicit FilterPane(QWidget* parent = nullptr);

    bool anyOn() const;
    bool callOn() const;
    std::string call() const;
    bool dateRangeOn() const;
    PickerDate from() const;
    PickerDate to() const;
    bool qslFilterOn(QslFilter filter) const;
    bool qslBoxTicked(QslFilter filter, QslBox box) const;

    // The filters as a run takes them.
    QsoFilterChoice choice() const;
    // The pane's state as the settings file stores it when the window closes.
    FilterSettings settings() const;
    void applyLanguage(Language language);

signals:
    // A filter was switched on or off.
    void switched();

private:
    struct Box {
        QslBox box;
        QCheckBox* check;
    };
    struct QslRow {
        QslFilter filter;
        QCheckBox* master;
        std::vector<Box> boxes;
    };
    const QslRow& row(QslFilter filter) const;
    void enableDependents();

    QLabel* m_title;
    QCheckBox* m_callOn;
    QLineEdit* m_call;
    QCheckBox* m_dateOn;
    QLabel* m_fromLabel;
    QLabel* m_toLabel;
    QDateEdit* m_from;
    QDateEdit* m_to;
    std::array<QslRow, 3> m_qsl; // Sent, Rcvd, Print
};

} // namespace cardmill
