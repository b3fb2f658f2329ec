// SPDX-License-Identifier: GPL-3.0-or-later
#include "ruleui/SelectTransformerViewController.h"

#include "uikit/AppTextStyle.h"
#include "uikit/DelayedUpdateTextField.h"
#include "uikit/NamedComboBox.h"
#include "uikit/ViewUtil.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>

namespace {
const QString MATCHING = QStringLiteral("matching");
const QString NOT_MATCHING = QStringLiteral("notmatching");
const QString ALL = QStringLiteral("all");
} // namespace

const QMap<QString, QString>& SelectTransformerViewController::typeSelections()
{
    static const QMap<QString, QString> map { { QStringLiteral("Matching Regular Expression"), MATCHING },
        { QStringLiteral("Not Matching Regular Expression"), NOT_MATCHING } };
    return map;
}

SelectTransformerViewController::SelectTransformerViewController(QWidget* parent)
    : QWidget(parent)
    , m_typeSelector(new NamedComboBox(this))
    , m_matchText(new DelayedUpdateTextField(this))
    , m_matchLabel(new QLabel(QStringLiteral("Expression"), this))
{
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Select"), this), 0, 0);
    layout->addWidget(m_typeSelector, 0, 1, Qt::AlignLeft);
    layout->addWidget(m_matchLabel, 1, 0);
    layout->addWidget(m_matchText, 1, 1);
    layout->setRowStretch(2, 1);
    m_matchLabel->setBuddy(m_matchText);
    m_typeSelector->addItems({ ALL_TITLE, typeSelections().key(MATCHING), typeSelections().key(NOT_MATCHING) });
    m_matchText->setFont(AppTextStyle::monoSpacedFont());
    ViewUtil::describe(m_typeSelector, QStringLiteral("Files to select"), QStringLiteral("The files the rules after this one rename"));
    ViewUtil::describe(m_matchText, QStringLiteral("Expression"), QStringLiteral("The regular expression the names are matched with"));

    connect(m_typeSelector, &QComboBox::activated, this, &SelectTransformerViewController::typeChanged);
    connect(m_matchText, &QLineEdit::editingFinished, this, [] { FindOptions::postSave(); });
}

TransformViewInfo SelectTransformerViewController::transformViewInfo()
{
    return { TransformerType::select, QStringLiteral("Select"), QStringLiteral("Select"), this };
}

void SelectTransformerViewController::showhideMatchText()
{
    const bool all = m_typeSelector->currentText() == ALL_TITLE;
    m_matchText->setEnabled(m_inputEnabled && !all);
    m_matchLabel->setEnabled(m_inputEnabled && !all);
}

void SelectTransformerViewController::enableDynamicControls(bool enabled)
{
    m_inputEnabled = enabled;
    showhideMatchText();
}

void SelectTransformerViewController::typeChanged()
{
    showhideMatchText();
    FindOptions::postSave();
}

QWidget* SelectTransformerViewController::patternField()
{
    return m_matchText;
}

void SelectTransformerViewController::loadState(const TransformerProperties& p)
{
    const QString type = p.selectType.value_or(MATCHING);
    if (type == ALL)
        m_typeSelector->setCurrentText(ALL_TITLE);
    else
        // The rule selects the files that do not match for any type it does
        // not know; the popup shows that, never the previous rule's choice.
        m_typeSelector->setCurrentText(typeSelections().key(type, typeSelections().key(NOT_MATCHING)));
    m_matchText->setText(p.selectMatch.value_or(QString()));
    showhideMatchText();
}

void SelectTransformerViewController::saveState(TransformerProperties& p)
{
    p.selectType = typeSelections().value(m_typeSelector->currentText(), ALL);
    p.selectMatch = m_matchText->text();
    showhideMatchText();
}
