// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/String+titleCase.h"

#include "core/IcuString.h"

#include <QSet>

#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/uchar.h>

#include <memory>

namespace {

// There is no lexical tagger here: a fixed list stands in for determiners,
// conjunctions and prepositions of up to three letters. Possessive and
// demonstrative determiners ("its", "this", "each", "some") are capitalised and
// so are not listed.
const QSet<QString>& smallWords()
{
    static const QSet<QString> words {
        // articles and the determiners that stay in lower case
        "a", "an", "the", "all", "another", "both", "every", "few", "many", "much", "neither", "no", "several", "such",
        // conjunctions
        "and", "but", "or", "nor", "for", "yet", "so", "as", "if",
        // prepositions of up to three letters
        "at", "by", "in", "of", "off", "on", "out", "per", "to", "up", "via",
    };
    return words;
}

enum class TokenKind { word, whitespace, opener, other };

TokenKind kindOf(const QString& token, bool atStartOrAfterSpace)
{
    bool allSpace = true;
    for (const QChar c : token)
        allSpace = allSpace && c.isSpace();
    if (allSpace)
        return TokenKind::whitespace;
    bool hasLetterOrDigit = false;
    for (const QChar c : token)
        hasLetterOrDigit = hasLetterOrDigit || c.isLetterOrNumber();
    if (hasLetterOrDigit)
        return TokenKind::word;
    // Opening quotes and parentheses, dashes and sentence ends start a new phrase.
    static const QString openers = QString::fromUtf8("([{\u201C\u2018\u00AB-\u2013\u2014.!?\u2026");
    static const QString straightQuotes = QStringLiteral("\"'");
    const QChar first = token.front();
    if (openers.contains(first))
        return TokenKind::opener;
    if (straightQuotes.contains(first) && atStartOrAfterSpace)
        return TokenKind::opener;
    return TokenKind::other;
}

QString capitalised(const QString& word, const icu::Locale& locale)
{
    icu::UnicodeString value = IcuString::toIcu(word);
    value.toTitle(nullptr, locale);
    return IcuString::fromIcu(value);
}

} // namespace

namespace String {

QString localizedTitlecased(const QString& text)
{
    if (text.isEmpty())
        return text;
    const icu::Locale& locale = icu::Locale::getDefault();
    icu::UnicodeString lowered = IcuString::toIcu(text);
    lowered.toLower(locale);
    const QString lower = IcuString::fromIcu(lowered);

    // The first letter and the end of the last letter.
    qsizetype firstLetter = -1;
    qsizetype lastLetterEnd = -1;
    for (qsizetype i = 0; i < lower.size(); ++i) {
        if (lower.at(i).isLetter()) {
            if (firstLetter < 0)
                firstLetter = i;
            lastLetterEnd = i + 1;
        }
    }
    if (firstLetter < 0) {
        firstLetter = 0;
        lastLetterEnd = lower.size();
    }

    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> words(icu::BreakIterator::createWordInstance(locale, status));
    if (U_FAILURE(status) || !words)
        return capitalised(lower, locale);
    words->setText(lowered);

    QString output;
    bool capitaliseNext = false;
    bool afterSpace = true;
    int32_t start = words->first();
    for (int32_t end = words->next(); end != icu::BreakIterator::DONE; start = end, end = words->next()) {
        const QString token = lower.mid(start, end - start);
        const TokenKind kind = kindOf(token, afterSpace);
        const bool atEdge = start == firstLetter || end == lastLetterEnd;
        if (kind == TokenKind::whitespace) {
            output += token;
            afterSpace = true;
            continue; // the flag keeps its value over whitespace
        }
        const bool keepLower = kind == TokenKind::word && smallWords().contains(token);
        output += (capitaliseNext || atEdge || !keepLower) ? capitalised(token, locale) : token;
        capitaliseNext = kind == TokenKind::opener;
        afterSpace = false;
    }
    return output;
}

} // namespace String
