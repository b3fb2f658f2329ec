// SPDX-License-Identifier: GPL-3.0-or-later
#include "ruleui/NumberingTransformerViewController.h"

#include "core/AppNotification.h"
#include "ruleui/SegmentedControl.h"
#include "tokenui/TransformDialogTextField.h"
#include "uikit/AppTextStyle.h"
#include "uikit/DelayedUpdateTextField.h"
#include "uikit/IntegerField.h"
#include "uikit/NamedComboBox.h"
#include "uikit/ViewUtil.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace {
using P = TransformerProperties;
const FindOptions::Fields findFields { &P::numberFindWildcards, &P::numberFindRegex, &P::numberFindCaseInsensitive,
    &P::numberFindFirst };
// What the Numbering rule does with an absent or unknown value.
const QString DEFAULT_POSITION = QStringLiteral("end");
const QString DEFAULT_FORMAT = QStringLiteral("decimal");
} // namespace

const QMap<QString, QString>& NumberingTransformerViewController::numberPositions()
{
    static const QMap<QString, QString> map { { QStringLiteral("Start"), QStringLiteral("start") },
        { QStringLiteral("End"), QStringLiteral("end") } };
    return map;
}

const QStringList& NumberingTransformerViewController::numberFormatItems()
{
    static const QStringList items { QStringLiteral("Decimal"), QStringLiteral("Alphabetical"),
        QStringLiteral("Hexadecimal"), QStringLiteral("Roman") };
    return items;
}

const QMap<QString, QString>& NumberingTransformerViewController::numberFormats()
{
    static const QMap<QString, QString> map { { QStringLiteral("Decimal"), QStringLiteral("decimal") },
        { QStringLiteral("Alphabetical"), QStringLiteral("alphabetical") },
        { QStringLiteral("Hexadecimal"), QStringLiteral("hexadecimal") },
        { QStringLiteral("Roman"), QStringLiteral("roman") } };
    return map;
}

NumberingTransformerViewController::NumberingTransformerViewController(QWidget* parent)
    : QWidget(parent)
    , m_numberFindText(new TransformDialogTextField(this))
    , m_numberFindOptions(FindOptions::makeControl(this))
    , m_numberPositionSelector(new NamedComboBox(this))
    , m_numberPositionOffset(new IntegerField(this))
    , m_numberSeparatorText(new DelayedUpdateTextField(this))
    , m_numberFormat(new NamedComboBox(this))
    , m_numberDigits(new IntegerField(this))
    , m_numberRandom(new QCheckBox(QStringLiteral("Random"), this))
    , m_numberGenerateButton(new QPushButton(QStringLiteral("Generate"), this))
    , m_numberStartLabel(new QLabel(QStringLiteral("Start"), this))
    , m_numberStart(new IntegerField(this))
    , m_numberSkipLabel(new QLabel(QStringLiteral("Skip"), this))
    , m_numberSkip(new IntegerField(this))
    , m_numberRepeatLabel(new QLabel(QStringLiteral("Repeat"), this))
    , m_numberRepeatCount(new IntegerField(this))
    , m_numberResetEvery(new QCheckBox(QStringLiteral("Reset every"), this))
    , m_numberResetEveryText(new IntegerField(this))
    , m_resetEveryDirectoryCheckbox(new QCheckBox(QStringLiteral("Reset in each folder"), this))
    , m_numberUpdateStartAfterRename(new QCheckBox(QStringLiteral("Continue after rename"), this))
{
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Find"), this), 0, 0);
    layout->addWidget(m_numberFindText, 0, 1, 1, 3);
    layout->addWidget(m_numberFindOptions, 0, 4, 1, 2);
    layout->addWidget(new QLabel(QStringLiteral("Position"), this), 1, 0);
    layout->addWidget(m_numberPositionSelector, 1, 1);
    layout->addWidget(m_numberPositionOffset, 1, 2);
    layout->addWidget(new QLabel(QStringLiteral("Separator"), this), 1, 3);
    layout->addWidget(m_numberSeparatorText, 1, 4);
    layout->addWidget(new QLabel(QStringLiteral("Format"), this), 2, 0);
    layout->addWidget(m_numberFormat, 2, 1);
    layout->addWidget(new QLabel(QStringLiteral("Digits"), this), 2, 3);
    layout->addWidget(m_numberDigits, 2, 4);
    layout->addWidget(m_numberRandom, 2, 5);
    layout->addWidget(m_numberGenerateButton, 2, 6);
    layout->addWidget(m_numberStartLabel, 3, 0);
    layout->addWidget(m_numberStart, 3, 1);
    layout->addWidget(m_numberSkipLabel, 3, 3);
    layout->addWidget(m_numberSkip, 3, 4);
    layout->addWidget(m_numberRepeatLabel, 4, 0);
    layout->addWidget(m_numberRepeatCount, 4, 1);
    layout->addWidget(m_numberResetEvery, 4, 3);
    layout->addWidget(m_numberResetEveryText, 4, 4);
    layout->addWidget(m_resetEveryDirectoryCheckbox, 5, 1, 1, 2);
    layout->addWidget(m_numberUpdateStartAfterRename, 5, 3, 1, 2);
    layout->setRowStretch(6, 1);
    layout->setColumnStretch(7, 1);
    m_numberStartLabel->setBuddy(m_numberStart);
    m_numberSkipLabel->setBuddy(m_numberSkip);
    m_numberRepeatLabel->setBuddy(m_numberRepeatCount);

    ViewUtil::describe(m_numberFindText, QStringLiteral("Find"), QStringLiteral("Where to put the number; empty: the whole name"));
    ViewUtil::describe(m_numberPositionSelector, QStringLiteral("Position"), QStringLiteral("Put the number at the start or the end"));
    ViewUtil::describe(m_numberPositionOffset, QStringLiteral("Offset"), QStringLiteral("Characters to move the number by"));
    ViewUtil::describe(m_numberSeparatorText, QStringLiteral("Separator"), QStringLiteral("Text between the name and the number"));
    ViewUtil::describe(m_numberFormat, QStringLiteral("Format"));
    ViewUtil::describe(m_numberDigits, QStringLiteral("Digits"), QStringLiteral("Minimum number of digits"));
    ViewUtil::describe(m_numberRandom, QStringLiteral("Random numbers"), QStringLiteral("Unique random numbers instead of a counter"));
    ViewUtil::describe(m_numberGenerateButton, QStringLiteral("Generate"), QStringLiteral("Draw new random numbers"));
    ViewUtil::describe(m_numberStart, QStringLiteral("Start"), QStringLiteral("The first number"));
    ViewUtil::describe(m_numberSkip, QStringLiteral("Skip"), QStringLiteral("Step between numbers"));
    ViewUtil::describe(m_numberRepeatCount, QStringLiteral("Repeat"), QStringLiteral("How many files share each number"));
    ViewUtil::describe(m_numberResetEvery, QStringLiteral("Reset every"), QStringLiteral("Start over after a number of files"));
    ViewUtil::describe(m_numberResetEveryText, QStringLiteral("Reset count"), QStringLiteral("Files before the numbers start over"));
    ViewUtil::describe(m_resetEveryDirectoryCheckbox, QStringLiteral("Reset in each folder"),
        QStringLiteral("Start over when a file lies in another folder"));
    ViewUtil::describe(m_numberUpdateStartAfterRename, QStringLiteral("Continue after rename"),
        QStringLiteral("After a rename, the next run starts with the next number"));
    m_numberFindText->setSupportedTokenTypes({ TokenType::STRING });

    initControls();

    connect(m_numberFindOptions, &SegmentedControl::segmentClicked, this,
        [this](int segment) { FindOptions::findOptionsChanged(m_numberFindOptions, segment); });
    for (QComboBox* popup : { m_numberPositionSelector, m_numberFormat })
        connect(popup, &QComboBox::activated, this, &NumberingTransformerViewController::stateChanged);
    for (IntegerField* field : { m_numberPositionOffset, m_numberStart, m_numberSkip, m_numberRepeatCount, m_numberResetEveryText })
        connect(field, &IntegerField::valueEdited, this, &NumberingTransformerViewController::stateChanged);
    connect(m_numberSeparatorText, &QLineEdit::editingFinished, this, &NumberingTransformerViewController::stateChanged);
    connect(m_numberDigits, &IntegerField::valueEdited, this, &NumberingTransformerViewController::numberDigitChanged);
    connect(m_numberResetEvery, &QCheckBox::clicked, this, &NumberingTransformerViewController::numberResetEveryChanged);
    connect(m_numberRandom, &QCheckBox::clicked, this, &NumberingTransformerViewController::numberRandomChanged);
    connect(m_numberGenerateButton, &QPushButton::clicked, this, &NumberingTransformerViewController::numberGenerateButtonAction);
    for (QCheckBox* box : { m_resetEveryDirectoryCheckbox, m_numberUpdateStartAfterRename })
        connect(box, &QCheckBox::clicked, this, &NumberingTransformerViewController::stateChanged);
}

void NumberingTransformerViewController::initControls()
{
    m_numberPositionSelector->clear();
    // Descending title order gives "Start", "End".
    QStringList positions = numberPositions().keys();
    std::sort(positions.begin(), positions.end(), std::greater<>());
    m_numberPositionSelector->addItems(positions);
    m_numberPositionByValue = ViewUtil::mapByValue(numberPositions());
    m_numberFormat->clear();
    m_numberFormat->addItems(numberFormatItems());
    m_numberFormatByValue = ViewUtil::mapByValue(numberFormats());
    m_numberSeparatorText->setFont(AppTextStyle::monoSpacedFont());
}

TransformViewInfo NumberingTransformerViewController::transformViewInfo()
{
    return { TransformerType::numbering, QStringLiteral("Number"), QStringLiteral("Numbering"), this };
}

void NumberingTransformerViewController::stateChanged()
{
    FindOptions::postSave();
}

void NumberingTransformerViewController::numberDigitChanged()
{
    // A new width needs new random numbers of that width.
    AppNotification::post(NotificationName::transformButtonSave, {}, std::nullopt, QStringLiteral("numberDigitChanged(_:)"));
    AppNotification::post(NotificationName::resetRandomNumbers, {}, std::nullopt, QStringLiteral("numberDigitChanged(_:)"));
    AppNotification::post(NotificationName::transformButtonSave, {}, std::nullopt, QStringLiteral("numberDigitChanged(_:)"));
}

void NumberingTransformerViewController::numberResetEveryChanged()
{
    updateNumberResetState(m_numberResetEvery->isChecked());
    FindOptions::postSave();
}

void NumberingTransformerViewController::numberRandomChanged()
{
    enableDynamicControls(m_inputEnabled);
    FindOptions::postSave();
}

void NumberingTransformerViewController::numberGenerateButtonAction()
{
    AppNotification::post(NotificationName::resetRandomNumbers, {}, std::nullopt, QStringLiteral("numberGenerateButtonAction(_:)"));
    AppNotification::post(NotificationName::transformButtonSave, {}, std::nullopt, QStringLiteral("numberGenerateButtonAction(_:)"));
}

bool NumberingTransformerViewController::countersUsable() const
{
    return m_inputEnabled && !m_numberRandom->isChecked();
}

void NumberingTransformerViewController::updateNumberResetState(bool enabled)
{
    m_numberResetEvery->setChecked(enabled);
    // The reset count stays greyed with the other counters while random
    // numbers are on or input is blocked.
    m_numberResetEveryText->setEnabled(enabled && countersUsable());
    const qint64 value = m_numberResetEveryText->value();
    if (enabled && value == 0)
        m_numberResetEveryText->setValue(2);
    else if (!enabled && value >= 1)
        m_numberResetEveryText->setValue(0);
}

void NumberingTransformerViewController::enableDynamicControls(bool enabled)
{
    m_inputEnabled = enabled;
    const bool counters = countersUsable();
    for (QWidget* control : std::initializer_list<QWidget*> { m_numberStartLabel, m_numberStart, m_numberSkipLabel,
             m_numberSkip, m_numberRepeatLabel, m_numberRepeatCount, m_numberResetEvery, m_resetEveryDirectoryCheckbox,
             m_numberUpdateStartAfterRename })
        control->setEnabled(counters);
    m_numberResetEveryText->setEnabled(m_numberResetEvery->isChecked() && counters);
    m_numberGenerateButton->setEnabled(enabled && m_numberRandom->isChecked());
}

QWidget* NumberingTransformerViewController::patternField()
{
    return m_numberFindText;
}

void NumberingTransformerViewController::loadState(const TransformerProperties& p)
{
    m_numberFindText->setStringValue(p.numberFindText.value_or(QString()));
    FindOptions::load(m_numberFindOptions, p, findFields);
    m_numberPositionOffset->setValue(p.numberPositionOffset.value_or(0));
    m_numberStart->setValue(p.numberStart.value_or(1));
    m_numberDigits->setValue(p.numberDigits.value_or(1));
    m_numberSkip->setValue(p.numberSkip.value_or(1));
    // An absent or unknown value shows what the rule does with it, never the
    // previous rule's choice.
    const QString position = p.numberPosition.value_or(QString());
    m_numberPositionSelector->setCurrentText(m_numberPositionByValue.value(position, m_numberPositionByValue.value(DEFAULT_POSITION)));
    m_numberSeparatorText->setText(p.numberSeparatorText.value_or(QString()));
    const QString format = p.numberFormat.value_or(QString());
    m_numberFormat->setCurrentText(m_numberFormatByValue.value(format, m_numberFormatByValue.value(DEFAULT_FORMAT)));
    m_numberRandom->setChecked(p.numberRandom.value_or(false));
    m_numberRepeatCount->setValue(p.numberRepeatCount.value_or(1));
    m_numberResetEveryText->setValue(p.numberResetCount.value_or(0));
    m_resetEveryDirectoryCheckbox->setChecked(p.numberResetEveryDirectoryChange.value_or(false));
    m_numberUpdateStartAfterRename->setChecked(p.numberUpdateStart.value_or(false));
    updateNumberResetState(m_numberResetEveryText->value() >= 1);
    enableDynamicControls(m_inputEnabled);
}

void NumberingTransformerViewController::saveState(TransformerProperties& p)
{
    p.numberFindText = m_numberFindText->stringValue();
    FindOptions::save(m_numberFindOptions, p, findFields);
    p.numberDigits = m_numberDigits->value();
    p.numberSkip = m_numberSkip->value();
    p.numberStart = m_numberStart->value();
    const auto position = numberPositions().constFind(m_numberPositionSelector->currentText());
    p.numberPosition = position != numberPositions().constEnd() ? std::optional<QString>(*position) : std::nullopt;
    p.numberPositionOffset = m_numberPositionOffset->value();
    p.numberSeparatorText = m_numberSeparatorText->text();
    const auto format = numberFormats().constFind(m_numberFormat->currentText());
    p.numberFormat = format != numberFormats().constEnd() ? std::optional<QString>(*format) : std::nullopt;
    p.numberRandom = m_numberRandom->isChecked();
    p.numberRepeatCount = m_numberRepeatCount->value();
    const qint64 reset = m_numberResetEveryText->value();
    p.numberResetCount = reset >= 1 ? std::optional<qint64>(reset) : std::nullopt;
    p.numberResetEveryDirectoryChange = m_resetEveryDirectoryCheckbox->isChecked();
    p.numberUpdateStart = m_numberUpdateStartAfterRename->isChecked();
}
