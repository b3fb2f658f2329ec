// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/TimeZone.h"
#include "tokenui/TokenAttributeViewController.h"

class QComboBox;
class QListWidget;

// Prefix, suffix, date pattern and time zone of a date attribute.
class TokenAttributeDateView : public TokenAttributeViewController {
    Q_OBJECT
public:
    // The pattern entry that stands for a pattern typed by the user.
    static constexpr int CUSTOMFORMATTAG = 1;

    struct TimeZoneInfo {
        QString identifier;
        QString displayName;  // city, region, abbreviation and offset
        QString searchText;   // the display name and every short name of the zone
        TimeZone timeZone;
    };

    explicit TokenAttributeDateView(QWidget* parent = nullptr);

    QLineEdit* prefixTextField;
    QLineEdit* suffixTextField;
    QComboBox* dateFormatPopup;
    QLineEdit* customDateFormat;
    QLineEdit* timeZoneSearch;
    QListWidget* timeZoneList;

    bool isCustomDateFormat() const;
    const QList<TimeZoneInfo>& filteredTimeZones() const { return m_filteredTimeZones; }
    std::optional<QString> selectedTimeZone() const { return m_selectedTimeZone; }

    void filterTimeZones(const QString& text);
    static QList<TimeZoneInfo> allTimeZones();

protected:
    void viewDidLoad(const TokenItem& item) override;
    void writeBack(TokenItem& item) override;

private:
    void selectDateFormat();
    void showFilteredTimeZones();

    QList<TimeZoneInfo> m_allTimeZones;
    QList<TimeZoneInfo> m_filteredTimeZones;
    // The zone the user picked; none keeps the token's own.
    std::optional<QString> m_selectedTimeZone;
};
