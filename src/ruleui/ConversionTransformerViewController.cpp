// SPDX-License-Identifier: GPL-3.0-or-later
#include "ruleui/ConversionTransformerViewController.h"

#include "core/AppNotification.h"
#include "ruleui/SegmentedControl.h"
#include "tokenui/TransformDialogTextField.h"
#include "uikit/NamedComboBox.h"
#include "uikit/ViewUtil.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHideEvent>
#include <QLabel>
#include <QToolButton>

namespace {
using P = TransformerProperties;
const FindOptions::Fields findFields { &P::conversionFindWildcards, &P::conversionFindRegex,
    &P::conversionFindCaseInsensitive, &P::conversionFindFirst };
// Saved when the popup shows no known conversion.
constexpr ConversionType FALLBACK_CONVERSION = ConversionType::lowercase;
} // namespace

const QList<ConversionTransformerViewController::Option>& ConversionTransformerViewController::conversionOptions()
{
    static const QList<Option> options {
        { QStringLiteral("Uppercase"), ConversionType::uppercase },
        { QStringLiteral("Lowercase"), ConversionType::lowercase },
        { QStringLiteral("Capitalize Each Word"), ConversionType::capitalizeall },
        { QStringLiteral("Capitalize First Word"), ConversionType::capitalizefirst },
        { QStringLiteral("Titlecase"), ConversionType::titlecase },
        { QStringLiteral("Remove Diacritics"), ConversionType::removediacritics },
        { QStringLiteral("Windows Compatibility"), ConversionType::windowscompatibility },
        { QStringLiteral("Lookup"), ConversionType::lookup },
    };
    return options;
}

ConversionTransformerViewController::ConversionTransformerViewController(QWidget* parent)
    : QWidget(parent)
    , m_conversionFindText(new TransformDialogTextField(this))
    , m_conversionFindOptions(FindOptions::makeControl(this))
    , m_conversionSelector(new NamedComboBox(this))
    , m_lookupTableButton(new QToolButton(this))
    , m_lookupOptions(new SegmentedControl({ QStringLiteral("Case"), QStringLiteral("Start"), QStringLiteral("End") },
          SegmentedControl::Mode::selectAny, this))
{
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Find"), this), 0, 0);
    layout->addWidget(m_conversionFindText, 0, 1, 1, 2);
    layout->addWidget(m_conversionFindOptions, 0, 3);
    layout->addWidget(new QLabel(QStringLiteral("Convert"), this), 1, 0);
    layout->addWidget(m_conversionSelector, 1, 1);
    layout->addWidget(m_lookupTableButton, 1, 2, Qt::AlignLeft);
    layout->addWidget(m_lookupOptions, 1, 3, Qt::AlignLeft);
    layout->setRowStretch(2, 1);
    layout->setColumnStretch(4, 1);

    for (const Option& option : conversionOptions())
        m_conversionSelector->addItem(option.title);
    m_lookupTableButton->setText(QStringLiteral("Table…"));
    ViewUtil::describe(m_conversionFindText, QStringLiteral("Find"), QStringLiteral("The text to convert; empty: the whole name"));
    ViewUtil::describe(m_conversionSelector, QStringLiteral("Conversion"));
    ViewUtil::describe(m_lookupTableButton, QStringLiteral("Lookup table"), QStringLiteral("Show or hide the lookup table"));
    ViewUtil::describe(m_lookupOptions, QStringLiteral("Lookup options"));
    const QStringList tips { QStringLiteral("Case-sensitive lookup"), QStringLiteral("Match at the start only"),
        QStringLiteral("Match at the end only") };
    for (int i = 0; i < m_lookupOptions->segmentCount(); ++i)
        ViewUtil::describe(m_lookupOptions->segment(i), m_lookupOptions->segment(i)->text(), tips.at(i));
    m_conversionFindText->setSupportedTokenTypes({ TokenType::STRING });

    connect(m_conversionFindOptions, &SegmentedControl::segmentClicked, this,
        [this](int segment) { FindOptions::findOptionsChanged(m_conversionFindOptions, segment); });
    connect(m_conversionSelector, &QComboBox::activated, this, &ConversionTransformerViewController::stateChanged);
    connect(m_lookupOptions, &SegmentedControl::segmentClicked, this, &ConversionTransformerViewController::stateChanged);
    connect(m_lookupTableButton, &QToolButton::clicked, this, &ConversionTransformerViewController::openLookupTableButtonClicked);
}

TransformViewInfo ConversionTransformerViewController::transformViewInfo()
{
    return { TransformerType::conversion, QStringLiteral("Convert"), QStringLiteral("Conversion"), this };
}

std::optional<ConversionType> ConversionTransformerViewController::selectedConversion() const
{
    const int index = m_conversionSelector->currentIndex();
    if (index < 0 || index >= conversionOptions().size())
        return std::nullopt;
    return conversionOptions().at(index).type;
}

void ConversionTransformerViewController::postHideLookupTable(const QString& function)
{
    AppNotification::post(NotificationName::hideLookupTable, {}, std::nullopt, function);
}

void ConversionTransformerViewController::updateLookupTableButtons()
{
    const bool lookup = selectedConversion() == ConversionType::lookup;
    m_lookupTableButton->setVisible(lookup);
    m_lookupOptions->setVisible(lookup);
    // Only leaving the lookup conversion closes the lookup table; another
    // panel the side panel shows stays open.
    if (m_showsLookup && !lookup)
        postHideLookupTable(QStringLiteral("updateLookupTableButtons()"));
    m_showsLookup = lookup;
}

void ConversionTransformerViewController::stateChanged()
{
    updateLookupTableButtons();
    FindOptions::postSave();
}

void ConversionTransformerViewController::openLookupTableButtonClicked()
{
    AppNotification::post(NotificationName::toggleLookupTable, QVariant::fromValue<QObject*>(m_lookupTableButton),
        std::nullopt, QStringLiteral("openLookupTableButtonClicked(_:)"));
}

void ConversionTransformerViewController::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    // Another kind's editor takes the place, or the rule editor is hidden;
    // a minimised window is no reason to close the table.
    if (!event->spontaneous() && m_showsLookup)
        postHideLookupTable(QStringLiteral("viewWillDisappear()"));
}

QWidget* ConversionTransformerViewController::patternField()
{
    return m_conversionFindText;
}

void ConversionTransformerViewController::loadState(const TransformerProperties& p)
{
    m_conversionFindText->setStringValue(p.conversionFindText.value_or(QString()));
    FindOptions::load(m_conversionFindOptions, p, findFields);
    // An absent conversion shows the one that would be saved, never the
    // previous rule's choice.
    const ConversionType type = p.conversionType.value_or(FALLBACK_CONVERSION);
    for (int i = 0; i < conversionOptions().size(); ++i)
        if (conversionOptions().at(i).type == type)
            m_conversionSelector->setCurrentIndex(i);
    m_lookupOptions->setSelected(0, !p.conversionLookupCaseInsensitive.value_or(false));
    m_lookupOptions->setSelected(1, p.conversionLookupAnchorStart.value_or(false));
    m_lookupOptions->setSelected(2, p.conversionLookupAnchorEnd.value_or(false));
    updateLookupTableButtons();
    AppNotification::post(NotificationName::updateLookupTable, {}, std::nullopt, QStringLiteral("loadState(_:)"));
}

void ConversionTransformerViewController::saveState(TransformerProperties& p)
{
    p.conversionFindText = m_conversionFindText->stringValue();
    FindOptions::save(m_conversionFindOptions, p, findFields);
    p.conversionType = selectedConversion().value_or(FALLBACK_CONVERSION);
    p.conversionLookupCaseInsensitive = !m_lookupOptions->isSelected(0);
    p.conversionLookupAnchorStart = m_lookupOptions->isSelected(1);
    p.conversionLookupAnchorEnd = m_lookupOptions->isSelected(2);
}
