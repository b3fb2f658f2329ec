// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokenui/TokenAttributeDateView.h"

#include "core/IcuString.h"
#include "core/Int+format.h"
#include "uikit/NamedComboBox.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QTimer>

#include <unicode/locid.h>
#include <unicode/timezone.h>

namespace {

const QStringList& datePatterns()
{
    static const QStringList patterns {
        QStringLiteral("yyyy-MM-dd HH:mm"), QStringLiteral("yyyy-MM-dd"), QStringLiteral("yyyyMMdd"),
        QStringLiteral("yyyy-MM-dd_HH-mm-ss"), QStringLiteral("yyyyMMdd_HHmmss"), QStringLiteral("dd.MM.yyyy"),
        QStringLiteral("MM-dd-yyyy"), QStringLiteral("yyyy"), QStringLiteral("MMMM yyyy"), QStringLiteral("HH-mm-ss"),
        QStringLiteral("EEEE"),
    };
    return patterns;
}

QString shortName(const icu::TimeZone& zone, bool daylight, const icu::Locale& locale)
{
    icu::UnicodeString name;
    zone.getDisplayName(daylight, icu::TimeZone::SHORT, locale, name);
    return IcuString::fromIcu(name);
}

} // namespace

TokenAttributeDateView::TokenAttributeDateView(QWidget* parent)
    : TokenAttributeViewController(parent)
    , prefixTextField(addTextField(QStringLiteral("&Prefix:"), QStringLiteral("Prefix")))
    , suffixTextField(addTextField(QStringLiteral("&Suffix:"), QStringLiteral("Suffix")))
    , dateFormatPopup(new NamedComboBox(this))
    , customDateFormat(new QLineEdit(this))
    , timeZoneSearch(new QLineEdit(this))
    , timeZoneList(new QListWidget(this))
{
    setAccessibleName(QStringLiteral("Date token settings"));
    for (const QString& pattern : datePatterns())
        dateFormatPopup->addItem(pattern, 0);
    dateFormatPopup->addItem(QStringLiteral("Custom pattern"), CUSTOMFORMATTAG);
    dateFormatPopup->setAccessibleName(QStringLiteral("Date pattern"));
    dateFormatPopup->setToolTip(QStringLiteral("How the date is written"));
    form()->addRow(QStringLiteral("&Format:"), dateFormatPopup);
    customDateFormat->setAccessibleName(QStringLiteral("Custom date pattern"));
    customDateFormat->setToolTip(QStringLiteral("A date pattern such as yyyy-MM-dd"));
    form()->addRow(QStringLiteral("&Custom:"), customDateFormat);
    timeZoneSearch->setAccessibleName(QStringLiteral("Search time zones"));
    timeZoneSearch->setPlaceholderText(QStringLiteral("City, region or abbreviation"));
    timeZoneSearch->setToolTip(QStringLiteral("Shows the time zones whose name contains this text"));
    form()->addRow(QStringLiteral("&Time zone:"), timeZoneSearch);
    timeZoneList->setAccessibleName(QStringLiteral("Time zones"));
    timeZoneList->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('M')) * 34);
    form()->addRow(QString(), timeZoneList);

    connect(dateFormatPopup, &QComboBox::activated, this, [this] { selectDateFormat(); });
    connect(timeZoneSearch, &QLineEdit::textEdited, this, &TokenAttributeDateView::filterTimeZones);
    connect(timeZoneList, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        m_selectedTimeZone = item->data(Qt::UserRole).toString();
    });
    connect(timeZoneList, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && row < m_filteredTimeZones.size() && timeZoneList->hasFocus())
            m_selectedTimeZone = m_filteredTimeZones.at(row).identifier;
    });
    connect(timeZoneList, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        m_selectedTimeZone = item->data(Qt::UserRole).toString();
    });
}

QList<TokenAttributeDateView::TimeZoneInfo> TokenAttributeDateView::allTimeZones()
{
    // ICU names zones differently by locale ("CET", "GMT+1", "MEZ"): every
    // spelling a user may type is searched.
    const QList<icu::Locale> locales { icu::Locale::getDefault(), icu::Locale("en_US"), icu::Locale("en_GB") };
    QList<TimeZoneInfo> zones;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (const TimeZone& zone : TimeZone::listAvailableTimeZones()) {
        const QString identifier = zone.identifier();
        const QStringList pieces = identifier.split(QLatin1Char('/'), Qt::SkipEmptyParts);
        const QString first = pieces.isEmpty() ? QString() : pieces.first();
        const QString last = pieces.isEmpty() ? QString() : pieces.last();
        UErrorCode status = U_ZERO_ERROR;
        const bool daylight = zone.icuTimeZone().inDaylightTime(double(now.toMSecsSinceEpoch()), status) && U_SUCCESS(status);
        QString abbreviation = shortName(zone.icuTimeZone(), daylight, icu::Locale::getDefault());
        abbreviation = abbreviation.startsWith(QLatin1String("GMT")) ? QString() : abbreviation + QLatin1Char(' ');
        const QString displayName = last + QLatin1Char('\t') + first + QLatin1Char('\t') + abbreviation + QStringLiteral("(GMT")
            + Int::formattedTimeZoneOffset(zone.secondsFromGMT(now)) + QLatin1Char(')');
        QString searchText = displayName + QLatin1Char(' ') + identifier;
        for (const icu::Locale& locale : locales)
            for (bool inDaylight : { false, true })
                searchText += QLatin1Char(' ') + shortName(zone.icuTimeZone(), inDaylight, locale);
        zones.append({ identifier, displayName, searchText, zone });
    }
    return zones;
}

void TokenAttributeDateView::viewDidLoad(const TokenItem& item)
{
    m_allTimeZones = allTimeZones();
    m_filteredTimeZones = m_allTimeZones;
    prefixTextField->setText(item.prefix);
    suffixTextField->setText(item.suffix);
    const int listed = dateFormatPopup->findText(item.dateFormat, Qt::MatchExactly);
    const bool custom = listed < 0 || dateFormatPopup->itemData(listed).toInt() == CUSTOMFORMATTAG;
    dateFormatPopup->setCurrentIndex(custom ? dateFormatPopup->findData(CUSTOMFORMATTAG) : listed);
    customDateFormat->setText(custom ? item.dateFormat : QString());
    customDateFormat->setEnabled(custom);
    showFilteredTimeZones();
    for (qsizetype row = 0; row < m_filteredTimeZones.size(); ++row) {
        if (m_filteredTimeZones.at(row).identifier == item.timeZone) {
            timeZoneList->setCurrentRow(int(row));
            break;
        }
    }
}

bool TokenAttributeDateView::isCustomDateFormat() const
{
    return dateFormatPopup->currentData().toInt() == CUSTOMFORMATTAG;
}

void TokenAttributeDateView::selectDateFormat()
{
    customDateFormat->setEnabled(isCustomDateFormat());
    if (isCustomDateFormat()) {
        QPointer<QLineEdit> field(customDateFormat);
        QTimer::singleShot(0, this, [field] {
            if (field)
                field->setFocus(Qt::OtherFocusReason);
        });
    }
}

void TokenAttributeDateView::filterTimeZones(const QString& text)
{
    const QString search = text.trimmed();
    m_filteredTimeZones.clear();
    for (const TimeZoneInfo& zone : m_allTimeZones)
        if (search.isEmpty() || zone.searchText.contains(search, Qt::CaseInsensitive))
            m_filteredTimeZones.append(zone);
    showFilteredTimeZones();
}

void TokenAttributeDateView::showFilteredTimeZones()
{
    timeZoneList->clear();
    for (const TimeZoneInfo& zone : m_filteredTimeZones) {
        auto* row = new QListWidgetItem(QString(zone.displayName).replace(QLatin1Char('\t'), QStringLiteral("  ")), timeZoneList);
        row->setData(Qt::UserRole, zone.identifier);
        if (zone.identifier == m_selectedTimeZone)
            timeZoneList->setCurrentItem(row);
    }
}

void TokenAttributeDateView::writeBack(TokenItem& item)
{
    item.prefix = prefixTextField->text();
    item.suffix = suffixTextField->text();
    item.dateFormat = isCustomDateFormat() ? customDateFormat->text() : dateFormatPopup->currentText();
    // Only a zone the user picked replaces the token's own.
    if (m_selectedTimeZone)
        item.timeZone = *m_selectedTimeZone;
}
