// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokenui/TokenAttributeRegexView.h"

#include "tokens/RegExpResolver.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>

namespace {
// A count field's number; text that is no number counts as 0.
qint64 integerOf(const QLineEdit* field)
{
    return TokenAttributeViewController::integerValue(field->text().trimmed()).value_or(0);
}

template <typename Button>
Button* named(Button* button, const QString& tooltip)
{
    button->setAccessibleName(button->text().remove(QLatin1Char('&')));
    button->setToolTip(tooltip);
    return button;
}
} // namespace

TokenAttributeRegexView::TokenAttributeRegexView(QWidget* parent)
    : TokenAttributeViewController(parent)
{
    setAccessibleName(QStringLiteral("Pattern token settings"));
    auto* anchors = new QHBoxLayout;
    anchoredStart = named(new QCheckBox(QStringLiteral("At the &start"), this), QStringLiteral("The match must begin the text"));
    anchoredEnd = named(new QCheckBox(QStringLiteral("At the &end"), this), QStringLiteral("The match must end the text"));
    anchors->addWidget(anchoredStart);
    anchors->addWidget(anchoredEnd);
    form()->addRow(QStringLiteral("Anchored:"), anchors);

    auto* matches = new QHBoxLayout;
    matchesAny = named(new QRadioButton(QStringLiteral("&Any of"), this), QStringLiteral("Matches characters of the chosen kinds"));
    matchesExcept = named(new QRadioButton(QStringLiteral("Any e&xcept"), this), QStringLiteral("Matches characters other than the chosen kinds"));
    auto* matchGroup = new QButtonGroup(this);
    matchGroup->addButton(matchesAny);
    matchGroup->addButton(matchesExcept);
    matches->addWidget(matchesAny);
    matches->addWidget(matchesExcept);
    form()->addRow(QStringLiteral("Matches:"), matches);

    auto* kinds = new QHBoxLayout;
    charactersAlphabetic = named(new QCheckBox(QStringLiteral("&Letters"), this), QStringLiteral("Letters"));
    charactersNumbers = named(new QCheckBox(QStringLiteral("&Digits"), this), QStringLiteral("Digits"));
    charactersPunctuation = named(new QCheckBox(QStringLiteral("P&unctuation"), this), QStringLiteral("Punctuation"));
    charactersWhitespace = named(new QCheckBox(QStringLiteral("&White space"), this), QStringLiteral("Blanks and tabs"));
    charactersDiacritics = named(new QCheckBox(QStringLiteral("Diacri&tics"), this), QStringLiteral("Accents and other marks"));
    for (QCheckBox* box : { charactersAlphabetic, charactersNumbers, charactersPunctuation, charactersWhitespace, charactersDiacritics })
        kinds->addWidget(box);
    form()->addRow(QStringLiteral("Characters:"), kinds);
    matchesCustom = addTextField(QStringLiteral("&Custom characters:"), QStringLiteral("Custom characters"));
    phrase1 = addTextField(QStringLiteral("Phrase &1:"), QStringLiteral("First phrase"));
    phrase2 = addTextField(QStringLiteral("Phrase &2:"), QStringLiteral("Second phrase"));
    phrase3 = addTextField(QStringLiteral("Phrase &3:"), QStringLiteral("Third phrase"));
    phraseDiacriticInsensitive = named(new QCheckBox(QStringLiteral("Phrases ignore diacritics"), this),
        QStringLiteral("Phrases match with or without accents"));
    form()->addRow(QString(), phraseDiacriticInsensitive);

    auto* counts = new QHBoxLayout;
    countZeroOrMore = named(new QRadioButton(QStringLiteral("&Zero or more"), this), QStringLiteral("Zero or more times"));
    countOneOrMore = named(new QRadioButton(QStringLiteral("&One or more"), this), QStringLiteral("One or more times"));
    countExactly = named(new QRadioButton(QStringLiteral("Exactl&y"), this), QStringLiteral("Exactly n times"));
    countBetween = named(new QRadioButton(QStringLiteral("&Between"), this), QStringLiteral("Between n and m times"));
    auto* countGroup = new QButtonGroup(this);
    for (QRadioButton* button : { countZeroOrMore, countOneOrMore, countExactly, countBetween }) {
        countGroup->addButton(button);
        counts->addWidget(button);
    }
    form()->addRow(QStringLiteral("Count:"), counts);
    countExactlyStackView = new QWidget(this);
    auto* exactly = new QHBoxLayout(countExactlyStackView);
    exactly->setContentsMargins(0, 0, 0, 0);
    count = new QLineEdit(countExactlyStackView);
    count->setAccessibleName(QStringLiteral("Times"));
    count->setToolTip(QStringLiteral("Times (Up and Down arrows step it)"));
    count->installEventFilter(this);
    exactly->addWidget(count);
    exactly->addWidget(new QLabel(QStringLiteral("times"), countExactlyStackView));
    form()->addRow(QString(), countExactlyStackView);
    countBetweenStackView = new QWidget(this);
    auto* between = new QHBoxLayout(countBetweenStackView);
    between->setContentsMargins(0, 0, 0, 0);
    countBetweenMin = new QLineEdit(countBetweenStackView);
    countBetweenMin->setAccessibleName(QStringLiteral("At least"));
    countBetweenMax = new QLineEdit(countBetweenStackView);
    countBetweenMax->setAccessibleName(QStringLiteral("At most"));
    for (QLineEdit* field : { countBetweenMin, countBetweenMax }) {
        field->setToolTip(field->accessibleName() + QStringLiteral(" (Up and Down arrows step it)"));
        field->installEventFilter(this);
    }
    between->addWidget(countBetweenMin);
    between->addWidget(new QLabel(QStringLiteral("and"), countBetweenStackView));
    between->addWidget(countBetweenMax);
    between->addWidget(new QLabel(QStringLiteral("times"), countBetweenStackView));
    form()->addRow(QString(), countBetweenStackView);
    countError = new QLabel(QStringLiteral("⚠ The least count is larger than the most: the count stays as it was."), this);
    countError->setWordWrap(true);
    countError->setAccessibleName(QStringLiteral("Count error"));
    countError->hide();
    form()->addRow(QString(), countError);

    auto* patternRow = new QHBoxLayout;
    infoButton = new QToolButton(this);
    infoButton->setText(QStringLiteral("ⓘ"));
    infoButton->setAccessibleName(QStringLiteral("Show or hide the pattern"));
    infoButton->setToolTip(QStringLiteral("Show or hide the pattern"));
    regexLabel = new QLabel(this);
    regexLabel->setTextFormat(Qt::PlainText);
    regexLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    regexLabel->setAccessibleName(QStringLiteral("Pattern"));
    patternRow->addWidget(infoButton);
    patternRow->addWidget(regexLabel, 1);
    form()->addRow(QStringLiteral("Pattern:"), patternRow);
    connect(infoButton, &QToolButton::clicked, this, [this] { regexLabel->setVisible(regexLabel->isHidden()); });

    for (QAbstractButton* button : findChildren<QAbstractButton*>())
        if (button != infoButton)
            connect(button, &QAbstractButton::toggled, this, &TokenAttributeRegexView::updateViewState);
    for (QLineEdit* field : findChildren<QLineEdit*>())
        connect(field, &QLineEdit::textChanged, this, &TokenAttributeRegexView::updateViewState);
}

void TokenAttributeRegexView::viewDidLoad(const TokenItem& item)
{
    m_item = item;
    const RegExpToken& token = item.regexp;
    const RegExpAnchor anchor = token.anchor.value_or(RegExpAnchor::none);
    anchoredStart->setChecked(anchor == RegExpAnchor::start || anchor == RegExpAnchor::startEnd);
    anchoredEnd->setChecked(anchor == RegExpAnchor::end || anchor == RegExpAnchor::startEnd);
    (token.containing.value_or(false) ? matchesAny : matchesExcept)->setChecked(true);
    charactersAlphabetic->setChecked(token.alphabetic.value_or(false));
    charactersNumbers->setChecked(token.numeric.value_or(false));
    charactersPunctuation->setChecked(token.punctuation.value_or(false));
    charactersWhitespace->setChecked(token.whitespace.value_or(false));
    charactersDiacritics->setChecked(token.diacritics.value_or(false));
    matchesCustom->setText(token.custom.value_or(QString()));
    setPhrases(token.phrases);
    setCount(token.count);
    updateViewState();
}

void TokenAttributeRegexView::setPhrases(const std::optional<RegExpTokenPhrases>& phrases)
{
    const QList<QLineEdit*> fields { phrase1, phrase2, phrase3 };
    for (qsizetype i = 0; i < fields.size(); ++i)
        fields[i]->setText(phrases ? (*phrases)[i].value_or(QString()) : QString());
    phraseDiacriticInsensitive->setChecked(phrases && phrases->diacriticInsensitive);
}

void TokenAttributeRegexView::setCount(const std::optional<RegExpTokenQuantifier>& quantifier)
{
    if (!quantifier)
        return;
    if (quantifier->isZeroOrMore())
        countZeroOrMore->setChecked(true);
    else if (quantifier->isOneOrMore())
        countOneOrMore->setChecked(true);
    else if (quantifier->isExactly()) {
        countExactly->setChecked(true);
        count->setText(QString::number(*quantifier->min));
    } else if (quantifier->isBetween()) {
        countBetween->setChecked(true);
        countBetweenMin->setText(QString::number(*quantifier->min));
        countBetweenMax->setText(QString::number(*quantifier->max));
    }
}

RegExpTokenPhrases TokenAttributeRegexView::getPhrases() const
{
    // Kept under "except" too: there they are what the match must not begin with.
    return RegExpTokenPhrases(phraseDiacriticInsensitive->isChecked(), { phrase1->text(), phrase2->text(), phrase3->text() });
}

bool TokenAttributeRegexView::countIsValid() const
{
    return !countBetween->isChecked() || integerOf(countBetweenMin) <= integerOf(countBetweenMax);
}

std::optional<RegExpTokenQuantifier> TokenAttributeRegexView::getCount() const
{
    if (countZeroOrMore->isChecked())
        return RegExpTokenQuantifier::zeroOrMore();
    if (countOneOrMore->isChecked())
        return RegExpTokenQuantifier::oneOrMore();
    if (countExactly->isChecked())
        return RegExpTokenQuantifier::exactly(integerOf(count));
    if (countBetween->isChecked() && countIsValid())
        return RegExpTokenQuantifier::between(integerOf(countBetweenMin), integerOf(countBetweenMax));
    // No button shows the token's count (at least or at most n), or the
    // range is refused: the count stays as it was.
    return std::nullopt;
}

TokenItem TokenAttributeRegexView::getUpdatedTokenItem(const TokenItem& item) const
{
    TokenItem updated = item;
    RegExpToken& token = updated.regexp;
    const bool start = anchoredStart->isChecked();
    const bool end = anchoredEnd->isChecked();
    token.anchor = start && end ? RegExpAnchor::startEnd : start ? RegExpAnchor::start : end ? RegExpAnchor::end : RegExpAnchor::none;
    token.containing = matchesAny->isChecked();
    token.alphabetic = charactersAlphabetic->isChecked();
    token.numeric = charactersNumbers->isChecked();
    token.punctuation = charactersPunctuation->isChecked();
    token.whitespace = charactersWhitespace->isChecked();
    token.diacritics = charactersDiacritics->isChecked();
    token.custom = matchesCustom->text();
    token.phrases = getPhrases();
    if (const auto quantifier = getCount())
        token.count = quantifier;
    return updated;
}

void TokenAttributeRegexView::updateViewState()
{
    if (!tokenAttachmentInfo())
        return;
    regexLabel->setText(RegExpResolver::resolveRegExp(getUpdatedTokenItem(m_item)).pattern);
    for (QLineEdit* phrase : { phrase1, phrase2, phrase3 })
        phrase->setEnabled(!matchesExcept->isChecked());
    countExactlyStackView->setVisible(countExactly->isChecked());
    countBetweenStackView->setVisible(countBetween->isChecked());
    countError->setVisible(!countIsValid());
    const QString invalid = countIsValid() ? QString() : countError->text();
    for (QLineEdit* field : { countBetweenMin, countBetweenMax })
        field->setAccessibleDescription(invalid);
}

void TokenAttributeRegexView::writeBack(TokenItem& item)
{
    item = getUpdatedTokenItem(item);
}
