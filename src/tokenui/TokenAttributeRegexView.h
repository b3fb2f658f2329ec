// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tokenui/TokenAttributeViewController.h"

class QCheckBox;
class QLabel;
class QRadioButton;
class QToolButton;

// The settings of a regular-expression builder token, with the pattern they
// give shown while they change.
class TokenAttributeRegexView : public TokenAttributeViewController {
    Q_OBJECT
public:
    explicit TokenAttributeRegexView(QWidget* parent = nullptr);

    QCheckBox* anchoredStart;
    QCheckBox* anchoredEnd;
    QRadioButton* matchesAny;
    QRadioButton* matchesExcept;
    QCheckBox* charactersAlphabetic;
    QCheckBox* charactersNumbers;
    QCheckBox* charactersPunctuation;
    QCheckBox* charactersWhitespace;
    QCheckBox* charactersDiacritics;
    QLineEdit* matchesCustom;
    QLineEdit* phrase1;
    QLineEdit* phrase2;
    QLineEdit* phrase3;
    QCheckBox* phraseDiacriticInsensitive;
    QRadioButton* countZeroOrMore;
    QRadioButton* countOneOrMore;
    QRadioButton* countExactly;
    QRadioButton* countBetween;
    QLineEdit* count;
    QLineEdit* countBetweenMin;
    QLineEdit* countBetweenMax;
    QWidget* countExactlyStackView;
    QWidget* countBetweenStackView;
    // Shown while "between" holds a least count above the most.
    QLabel* countError;
    QLabel* regexLabel;
    QToolButton* infoButton;

    TokenItem getUpdatedTokenItem(const TokenItem& item) const;

protected:
    void viewDidLoad(const TokenItem& item) override;
    void writeBack(TokenItem& item) override;

private:
    // None: the token's count stays (no button shows it, or the range is refused).
    std::optional<RegExpTokenQuantifier> getCount() const;
    bool countIsValid() const;
    void setCount(const std::optional<RegExpTokenQuantifier>& quantifier);
    RegExpTokenPhrases getPhrases() const;
    void setPhrases(const std::optional<RegExpTokenPhrases>& phrases);
    void updateViewState();

    TokenItem m_item;
};
