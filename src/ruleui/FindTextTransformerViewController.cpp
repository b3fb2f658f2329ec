// SPDX-License-Identifier: GPL-3.0-or-later
#include "ruleui/FindTextTransformerViewController.h"

#include "ruleui/SegmentedControl.h"
#include "tokenui/TransformDialogTextField.h"

#include <QGridLayout>
#include "tokenui/TokenTextFieldEditor.h"

#include <QHash>
#include <QLabel>
#include <QToolButton>
#include <QPushButton>

namespace {
const QList<TokenType> textTokenTypes = { TokenType::STRING, TokenType::ATTRIBUTE, TokenType::PARENT_DIRECTORY,
    TokenType::ORIGINAL_FILENAME };

QStringList labelsOf(const QList<FindTextTransformerViewController::Segment>& segments)
{
    QStringList labels;
    for (const auto& segment : segments)
        labels << segment.label;
    return labels;
}

using P = TransformerProperties;
using Segment = FindTextTransformerViewController::Segment;

QList<Segment> fourSegments(std::optional<bool> P::*wildcards, std::optional<bool> P::*regex,
    std::optional<bool> P::*caseInsensitive, std::optional<bool> P::*findFirst)
{
    QList<Segment> segments = {
        { QStringLiteral("Wildcards"), wildcards, false, true },
        { QStringLiteral("RegEx"), regex, false, false },
        { QStringLiteral("Case"), caseInsensitive, true, false },
    };
    if (findFirst)
        segments << Segment { QStringLiteral("First"), findFirst, false, true };
    return segments;
}
} // namespace

FindTextTransformerViewController::FindTextTransformerViewController(Config config, QWidget* parent)
    : QWidget(parent)
    , m_layout(new QGridLayout(this))
    , m_config(std::move(config))
    , m_findText(new TransformDialogTextField(this))
    , m_findOptions(new SegmentedControl(labelsOf(m_config.segments), SegmentedControl::Mode::selectAny, this))
    , m_text(new TransformDialogTextField(this))
    , m_addAttributeButton(new QPushButton(QStringLiteral("+"), this))
{
    m_layout->addWidget(new QLabel(QStringLiteral("Find"), this), 0, 0);
    m_layout->addWidget(m_findText, 0, 1);
    m_layout->addWidget(m_findOptions, 0, 2);
    m_layout->addWidget(new QLabel(m_config.selectorLabel, this), 1, 0);
    m_layout->addWidget(m_text, 1, 1);
    m_layout->addWidget(m_addAttributeButton, 1, 2, Qt::AlignLeft);
    m_layout->setRowStretch(2, 1);
    describeControls();

    m_findText->setSupportedTokenTypes({ TokenType::STRING });
    m_text->setSupportedTokenTypes(textTokenTypes);
    connect(m_addAttributeButton, &QPushButton::clicked, this, [] { FindOptions::postToggleTokenPanel(); });
    connect(m_findOptions, &SegmentedControl::segmentClicked, this, [this](int segment) {
        if (m_config.exclusiveFindModes)
            FindOptions::findOptionsChanged(m_findOptions, segment);
        else
            FindOptions::postSave();
    });
}

TransformViewInfo FindTextTransformerViewController::transformViewInfo()
{
    return { m_config.type, m_config.buttonLabel, m_config.selectorLabel, this };
}

void FindTextTransformerViewController::describeControls()
{
    m_findText->tokenTextFieldEditor()->setAccessibleName(QStringLiteral("Find"));
    m_text->tokenTextFieldEditor()->setAccessibleName(m_config.selectorLabel);
    m_addAttributeButton->setAccessibleName(QStringLiteral("Insert Token"));
    m_addAttributeButton->setToolTip(QStringLiteral("Show the tokens to insert file attributes into the text"));
    // The segments are short words: the tool tips say what each one does.
    static const QHash<QString, QString> tips {
        { QStringLiteral("Wildcards"), FindOptions::wildcardsToolTip() },
        { QStringLiteral("RegEx"), QStringLiteral("Find with a regular expression") },
        { QStringLiteral("Case"), QStringLiteral("Tell upper and lower case apart") },
        { QStringLiteral("First"), QStringLiteral("Replace only the first match") },
    };
    for (int i = 0; i < m_findOptions->segmentCount(); ++i)
        m_findOptions->segment(i)->setToolTip(tips.value(m_findOptions->segment(i)->text()));
}

QWidget* FindTextTransformerViewController::patternField()
{
    return m_findText;
}

void FindTextTransformerViewController::loadState(const TransformerProperties& properties)
{
    m_findText->setStringValue((properties.*m_config.findText).value_or(QString()));
    for (int i = 0; i < m_config.segments.size(); ++i) {
        const Segment& segment = m_config.segments.at(i);
        const std::optional<bool>& flag = properties.*segment.field;
        m_findOptions->setSelected(i, flag ? (segment.inverted ? !*flag : *flag) : segment.shownWhenAbsent);
    }
    m_text->setTokenString((properties.*m_config.text).value_or(TokenString()));
}

void FindTextTransformerViewController::saveState(TransformerProperties& properties)
{
    properties.*m_config.findText = m_findText->stringValue();
    for (int i = 0; i < m_config.segments.size(); ++i) {
        const Segment& segment = m_config.segments.at(i);
        const bool selected = m_findOptions->isSelected(i);
        properties.*segment.field = segment.inverted ? !selected : selected;
    }
    properties.*m_config.text = m_text->tokenString();
}

SimpleTransformerViewController::SimpleTransformerViewController(QWidget* parent)
    : FindTextTransformerViewController({ TransformerType::simple, QStringLiteral("Replace"), QStringLiteral("Replace"),
                                            &P::simpleFindText, &P::simpleReplaceText,
                                            {
                                                { QStringLiteral("Wildcards"), &P::simpleWildcards, false, true },
                                                { QStringLiteral("Case"), &P::simpleCaseInsensitive, true, false },
                                                { QStringLiteral("First"), &P::simpleFindFirst, false, true },
                                            },
                                            false },
        parent)
{
}

PrefixTransformerViewController::PrefixTransformerViewController(QWidget* parent)
    : FindTextTransformerViewController({ TransformerType::prefix, QStringLiteral("Prefix"), QStringLiteral("Prefix"),
                                            &P::prefixFindText, &P::prefixText,
                                            fourSegments(&P::prefixFindWildcards, &P::prefixFindRegex,
                                                &P::prefixFindCaseInsensitive, &P::prefixFindFirst) },
        parent)
{
}

SuffixTransformerViewController::SuffixTransformerViewController(QWidget* parent)
    : FindTextTransformerViewController({ TransformerType::suffix, QStringLiteral("Suffix"), QStringLiteral("Suffix"),
                                            &P::suffixFindText, &P::suffixText,
                                            fourSegments(&P::suffixFindWildcards, &P::suffixFindRegex,
                                                &P::suffixFindCaseInsensitive, &P::suffixFindFirst) },
        parent)
{
}

SetTransformerViewController::SetTransformerViewController(QWidget* parent)
    : FindTextTransformerViewController({ TransformerType::set, QStringLiteral("Set"), QStringLiteral("Set"),
                                            &P::setFindText, &P::setText,
                                            fourSegments(&P::setFindWildcards, &P::setFindRegex,
                                                &P::setFindCaseInsensitive, nullptr) },
        parent)
{
}
