// SPDX-License-Identifier: GPL-3.0-or-later
#include "ruleui/TrimTransformerViewController.h"

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
#include <QLabel>

namespace {
using P = TransformerProperties;
const FindOptions::Fields findFields { &P::trimFindWildcards, &P::trimFindRegex, &P::trimFindCaseInsensitive,
    &P::trimFindFirst };
const QString DEFAULT_LOCATION = QStringLiteral("start");
const QString DEFAULT_MATCH = QStringLiteral("trimany");

// The rule trims around (each piece, when the value says "each") for any
// position it does not know; the popup shows that.
QString locationShownFor(const std::optional<QString>& value)
{
    if (!value)
        return DEFAULT_LOCATION;
    for (const auto& [title, stored] : TrimTransformerViewController::locationSelections())
        if (stored == *value)
            return stored;
    return value->contains(QLatin1String("each")) ? QStringLiteral("aroundeach") : QStringLiteral("around");
}
} // namespace

const QList<std::pair<QString, QString>>& TrimTransformerViewController::locationSelections()
{
    static const QList<std::pair<QString, QString>> selections {
        { QStringLiteral("Start"), QStringLiteral("start") },
        { QStringLiteral("End"), QStringLiteral("end") },
        { QStringLiteral("Around"), QStringLiteral("around") },
        { QStringLiteral("Start Each Path Component"), QStringLiteral("starteach") },
        { QStringLiteral("End Each Path Component"), QStringLiteral("endeach") },
        { QStringLiteral("Around Each Path Component"), QStringLiteral("aroundeach") },
    };
    return selections;
}

const QList<TrimTransformerViewController::Matching>& TrimTransformerViewController::matchingSelections()
{
    static const QList<Matching> selections {
        { QStringLiteral("Trim Any Character"), QStringLiteral("trimany"), QStringLiteral("Remove 'Count' number of characters") },
        { QStringLiteral("Trim Any Of"), QStringLiteral("trimanyof"),
            QStringLiteral("Remove any characters that match any of the specified characters") },
        { QStringLiteral("Trim Any Except"), QStringLiteral("trimanyexcept"),
            QStringLiteral("Remove any characters that do not match any of the specified characters") },
        { QStringLiteral("Keep Any Character"), QStringLiteral("keepany"),
            QStringLiteral("Remove all, preserving 'Count' number of characters") },
        { QStringLiteral("Keep Any Of"), QStringLiteral("keepanyof"),
            QStringLiteral("Remove all, preserving any characters that match any of the specified characters") },
        { QStringLiteral("Keep Any Except"), QStringLiteral("keepanyexcept"),
            QStringLiteral("Remove all, preserving any characters that do not match any of the specified characters") },
    };
    return selections;
}

TrimTransformerViewController::TrimTransformerViewController(QWidget* parent)
    : QWidget(parent)
    , m_findText(new TransformDialogTextField(this))
    , m_findOptions(FindOptions::makeControl(this))
    , m_positionSelector(new NamedComboBox(this))
    , m_offsetText(new IntegerField(this))
    , m_countText(new IntegerField(this))
    , m_matchingSelector(new NamedComboBox(this))
    , m_charactersLabel(new QLabel(QStringLiteral("Characters"), this))
    , m_charactersText(new DelayedUpdateTextField(this))
    , m_trimLeadingTrailingSpacesCheckbox(new QCheckBox(QStringLiteral("Trim spaces at both ends"), this))
{
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Find"), this), 0, 0);
    layout->addWidget(m_findText, 0, 1, 1, 3);
    layout->addWidget(m_findOptions, 0, 4);
    layout->addWidget(new QLabel(QStringLiteral("Position"), this), 1, 0);
    layout->addWidget(m_positionSelector, 1, 1);
    layout->addWidget(new QLabel(QStringLiteral("Offset"), this), 1, 2);
    layout->addWidget(m_offsetText, 1, 3);
    layout->addWidget(new QLabel(QStringLiteral("Count"), this), 2, 2);
    layout->addWidget(m_countText, 2, 3);
    layout->addWidget(new QLabel(QStringLiteral("Match"), this), 2, 0);
    layout->addWidget(m_matchingSelector, 2, 1);
    layout->addWidget(m_charactersLabel, 3, 0);
    layout->addWidget(m_charactersText, 3, 1, 1, 3);
    layout->addWidget(m_trimLeadingTrailingSpacesCheckbox, 4, 1, 1, 3);
    layout->setRowStretch(5, 1);
    layout->setColumnStretch(5, 1);
    m_charactersLabel->setBuddy(m_charactersText);
    // Tab in reading order: Match comes before Count on its line.
    QWidget::setTabOrder(m_matchingSelector, m_countText);

    for (const auto& [title, value] : locationSelections())
        m_positionSelector->addItem(title);
    for (int i = 0; i < matchingSelections().size(); ++i) {
        m_matchingSelector->addItem(matchingSelections().at(i).title);
        m_matchingSelector->setItemData(i, matchingSelections().at(i).description, Qt::ToolTipRole);
    }
    m_charactersText->setFont(AppTextStyle::monoSpacedFont());
    m_offsetText->setUpdatesWhileTyping(true);
    ViewUtil::describe(m_findText, QStringLiteral("Find"), QStringLiteral("The part of the name to trim; empty: the whole name"));
    ViewUtil::describe(m_positionSelector, QStringLiteral("Position"), QStringLiteral("Where to trim"));
    ViewUtil::describe(m_offsetText, QStringLiteral("Offset"), QStringLiteral("Characters to skip before trimming"));
    ViewUtil::describe(m_countText, QStringLiteral("Count"), QStringLiteral("Number of characters"));
    ViewUtil::describe(m_matchingSelector, QStringLiteral("Match"), QStringLiteral("What to trim or keep"));
    ViewUtil::describe(m_charactersText, QStringLiteral("Characters"), QStringLiteral("The characters to trim or keep"));
    ViewUtil::describe(m_trimLeadingTrailingSpacesCheckbox, QStringLiteral("Trim spaces at both ends"));
    m_findText->setSupportedTokenTypes({ TokenType::STRING });

    connect(m_findOptions, &SegmentedControl::segmentClicked, this,
        [this](int segment) { FindOptions::findOptionsChanged(m_findOptions, segment); });
    connect(m_positionSelector, &QComboBox::activated, this, [] { FindOptions::postSave(); });
    for (IntegerField* field : { m_offsetText, m_countText })
        connect(field, &IntegerField::valueEdited, this, [] { FindOptions::postSave(); });
    connect(m_matchingSelector, &QComboBox::activated, this, &TrimTransformerViewController::matchingSelectorChanged);
    connect(m_charactersText, &QLineEdit::editingFinished, this, [] { FindOptions::postSave(); });
    connect(m_trimLeadingTrailingSpacesCheckbox, &QCheckBox::clicked, this, [] { FindOptions::postSave(); });
}

TransformViewInfo TrimTransformerViewController::transformViewInfo()
{
    return { TransformerType::trim, QStringLiteral("Trim"), QStringLiteral("Trim"), this };
}

QString TrimTransformerViewController::selectedMatch() const
{
    const int index = m_matchingSelector->currentIndex();
    return index < 1 || index >= matchingSelections().size() ? DEFAULT_MATCH : matchingSelections().at(index).value;
}

QString TrimTransformerViewController::selectedLocation() const
{
    const int index = m_positionSelector->currentIndex();
    return index < 0 || index >= locationSelections().size() ? DEFAULT_LOCATION : locationSelections().at(index).second;
}

bool TrimTransformerViewController::isCharactersFieldEnabled() const
{
    const QString match = selectedMatch();
    return match != QLatin1String("trimany") && match != QLatin1String("keepany");
}

void TrimTransformerViewController::showHideCharactersField()
{
    const bool usable = m_inputEnabled && isCharactersFieldEnabled();
    m_charactersText->setEnabled(usable);
    m_charactersLabel->setEnabled(usable);
}

void TrimTransformerViewController::enableDynamicControls(bool enabled)
{
    m_inputEnabled = enabled;
    showHideCharactersField();
}

void TrimTransformerViewController::matchingSelectorChanged()
{
    showHideCharactersField();
    FindOptions::postSave();
}

QWidget* TrimTransformerViewController::patternField()
{
    return m_findText;
}

void TrimTransformerViewController::loadState(const TransformerProperties& p)
{
    m_findText->setStringValue(p.trimFindText.value_or(QString()));
    FindOptions::load(m_findOptions, p, findFields);
    const QString location = locationShownFor(p.trimPosition);
    for (int i = 0; i < locationSelections().size(); ++i)
        if (locationSelections().at(i).second == location)
            m_positionSelector->setCurrentIndex(i);
    m_offsetText->setValue(p.trimOffset.value_or(0));
    m_countText->setValue(p.trimCount.value_or(0));
    int match = 0;
    for (int i = 0; i < matchingSelections().size(); ++i)
        if (matchingSelections().at(i).value == p.trimMatch.value_or(QString())) {
            match = i;
            break;
        }
    m_matchingSelector->setCurrentIndex(match);
    showHideCharactersField();
    m_charactersText->setText(p.trimCharacters.value_or(QString()));
    m_trimLeadingTrailingSpacesCheckbox->setChecked(p.trimLeadingTrailingSpaces.value_or(true));
}

void TrimTransformerViewController::saveState(TransformerProperties& p)
{
    p.trimFindText = m_findText->stringValue();
    FindOptions::save(m_findOptions, p, findFields);
    p.trimPosition = selectedLocation();
    p.trimOffset = m_offsetText->value();
    p.trimCount = m_countText->value();
    p.trimMatch = selectedMatch();
    p.trimCharacters = m_charactersText->text();
    p.trimLeadingTrailingSpaces = m_trimLeadingTrailingSpacesCheckbox->isChecked();
}
