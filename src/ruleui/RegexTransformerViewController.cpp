// SPDX-License-Identifier: GPL-3.0-or-later
#include "ruleui/RegexTransformerViewController.h"

#include "ruleui/SegmentedControl.h"
#include "tokenui/TokenString+AttributedText.h"
#include "tokenui/TokenTextFieldEditor.h"
#include "tokenui/TransformDialogTextField.h"
#include "uikit/ViewUtil.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextCursor>
#include <QToolButton>

RegexTransformerViewController::RegexTransformerViewController(QWidget* parent)
    : QWidget(parent)
    , m_regexFindText(new TransformDialogTextField(this))
    , m_regexFindOptions(new SegmentedControl({ QStringLiteral("Case"), QStringLiteral("First") },
          SegmentedControl::Mode::selectAny, this))
    , m_regexReplaceText(new TransformDialogTextField(this))
    , m_addAttributeButton(new QPushButton(QStringLiteral("+"), this))
    , m_addRegexButton(new QPushButton(QStringLiteral(".*"), this))
{
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Find"), this), 0, 0);
    layout->addWidget(m_regexFindText, 0, 1);
    layout->addWidget(m_addRegexButton, 0, 2);
    layout->addWidget(m_regexFindOptions, 0, 3);
    layout->addWidget(new QLabel(QStringLiteral("Replace"), this), 1, 0);
    layout->addWidget(m_regexReplaceText, 1, 1);
    layout->addWidget(m_addAttributeButton, 1, 2, Qt::AlignLeft);
    layout->setRowStretch(2, 1);

    m_regexFindText->setSupportedTokenTypes({ TokenType::STRING, TokenType::REGEX });
    m_regexReplaceText->setSupportedTokenTypes(
        { TokenType::STRING, TokenType::ATTRIBUTE, TokenType::PARENT_DIRECTORY, TokenType::ORIGINAL_FILENAME });
    // The expression field keeps its caret while the button is clicked; the
    // keyboard still reaches the button with Tab.
    m_addRegexButton->setFocusPolicy(Qt::TabFocus);
    // Tab goes in reading order, as in the other editors: the button beside the field comes next.
    QWidget::setTabOrder(m_regexFindText, m_addRegexButton);
    QWidget::setTabOrder(m_addRegexButton, m_regexFindOptions->segment(0));
    ViewUtil::describe(m_regexFindText, QStringLiteral("Regular expression"), QStringLiteral("The regular expression to find"));
    ViewUtil::describe(m_regexReplaceText, QStringLiteral("Replacement"), QStringLiteral("The replacement; $1 stands for the first group"));
    ViewUtil::describe(m_addRegexButton, QStringLiteral("Add expression"), QStringLiteral("Add a regular-expression builder token"));
    ViewUtil::describe(m_addAttributeButton, QStringLiteral("Add attribute"), QStringLiteral("Show or hide the attributes"));
    ViewUtil::describe(m_regexFindOptions, QStringLiteral("Options"));
    ViewUtil::describe(m_regexFindOptions->segment(0), QStringLiteral("Case"), QStringLiteral("Case-sensitive find"));
    ViewUtil::describe(m_regexFindOptions->segment(1), QStringLiteral("First"), QStringLiteral("Replace the first match only"));

    connect(m_regexFindOptions, &SegmentedControl::segmentClicked, this, [] { FindOptions::postSave(); });
    connect(m_addAttributeButton, &QPushButton::clicked, this, [] { FindOptions::postToggleTokenPanel(); });
    connect(m_addRegexButton, &QPushButton::clicked, this, &RegexTransformerViewController::addRegexButtonAction);
}

TransformViewInfo RegexTransformerViewController::transformViewInfo()
{
    return { TransformerType::regex, QStringLiteral("RegEx"), QStringLiteral("Regular Expression"), this };
}

void RegexTransformerViewController::addRegexButtonAction()
{
    const TokenItem item(TokenType::REGEX, QStringLiteral("regex"));
    TokenTextFieldEditor* editor = m_regexFindText->tokenTextFieldEditor();
    const bool editing = m_regexFindText->isBeingEdited();
    QTextCursor cursor(editor->document());
    if (editing)
        cursor.setPosition(editor->textCursor().selectionStart());
    else
        cursor.movePosition(QTextCursor::End);
    const int location = cursor.position();
    TokenStringText::append(cursor, item);
    if (editing) {
        QTextCursor caret(editor->document());
        caret.setPosition(location + 1);
        editor->setTextCursor(caret);
    }
    FindOptions::postSave();
}

QWidget* RegexTransformerViewController::patternField()
{
    return m_regexFindText;
}

void RegexTransformerViewController::loadState(const TransformerProperties& p)
{
    m_regexFindText->setTokenString(p.regexFindText.value_or(TokenString()));
    // Case-sensitive only when the rule says so.
    m_regexFindOptions->setSelected(0, p.regexCaseInsensitive == false);
    m_regexFindOptions->setSelected(1, p.regexFindFirst.value_or(true));
    m_regexReplaceText->setTokenString(p.regexReplaceText.value_or(TokenString()));
}

void RegexTransformerViewController::saveState(TransformerProperties& p)
{
    p.regexFindText = m_regexFindText->tokenString();
    p.regexCaseInsensitive = !m_regexFindOptions->isSelected(0);
    p.regexFindFirst = m_regexFindOptions->isSelected(1);
    p.regexReplaceText = m_regexReplaceText->tokenString();
}
