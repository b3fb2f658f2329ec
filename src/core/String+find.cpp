// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/String+find.h"

#include "core/CanonicalText.h"
#include "core/String+utilities.h"
#include "platform/Log.h"

namespace {

RegexOptions regexOptions(CompareOptions options)
{
    RegexOptions result;
    if (options.testFlag(CompareOption::caseInsensitive))
        result |= RegexOption::caseInsensitive;
    if (options.testFlag(CompareOption::anchorsMatchLines))
        result |= RegexOption::anchorsMatchLines;
    return result;
}

// Matches of `pattern` in the NFC form of `text`, as character ranges; none
// when the pattern is invalid or times out.
std::optional<QList<CharacterRange>> characterMatches(const QString& text, const QString& pattern,
    RegexOptions options, bool stopAtTextEnd, QString* error)
{
    const auto expression = RegularExpression::compile(CanonicalText::nfc(pattern), options, error);
    if (!expression)
        return std::nullopt;
    const QString searched = CanonicalText::nfc(text);
    const auto found = expression->matches(searched, error, stopAtTextEnd);
    if (!found)
        return std::nullopt;
    const TextOffsets offsets(searched);
    QList<CharacterRange> result;
    result.reserve(found->size());
    for (const RegexMatch& match : *found) {
        // A match that ends inside a character (a bare base letter of an
        // accented character) is not a match of characters.
        if (const auto range = offsets.characterRange(match.range))
            result.append(*range);
    }
    return result;
}

QList<TextRange> selectedRanges(const QString& text, const FindParameters& parameters)
{
    if (parameters.findText.isEmpty())
        return { String::range(text) };
    CompareOptions options = CompareOption::regularExpression | CompareOption::diacriticInsensitive;
    if (parameters.caseInsensitive)
        options |= CompareOption::caseInsensitive;
    QList<TextRange> found = String::ranges(text, parameters.pattern(), options);
    if (parameters.findFirst)
        return found.isEmpty() ? QList<TextRange> { String::range(text) } : QList<TextRange> { found.first() };
    return found;
}

const QString kLazyStar = QStringLiteral("([^\\/]*?)");
const QString kGreedyStar = QStringLiteral("([^\\/]*)");
const QString kLazyDoubleStar = QStringLiteral("(.*?)");
const QString kGreedyDoubleStar = QStringLiteral("(.*)");
const QString kDigits = QStringLiteral("(\\d+)");
const QString kDigitsAndSlashes = QStringLiteral("([\\d]+[\\/\\d]*)");

} // namespace

namespace String {

QString wildcardsAsRegex(const QString& wildcardText)
{
    QStringList pieces = splitIncludingSeparator(wildcardText, QStringLiteral("*#"));
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        const QString& previous = pieces[i - 1];
        QString& current = pieces[i];
        if (previous.isEmpty() || current.isEmpty())
            continue;
        if (previous.back() != current.front())
            continue;
        if (current == QLatin1String("*")) {
            current = QStringLiteral("**");
            pieces[i - 1].clear();
        } else if (current == QLatin1String("#")) {
            current = QStringLiteral("##");
            pieces[i - 1].clear();
        }
    }
    pieces.removeAll(QString());
    if (pieces.isEmpty())
        return regexLiteral(QString());

    const qsizetype n = pieces.size();
    QString result;
    for (qsizetype i = 0; i < n; ++i) {
        const QString& piece = pieces[i];
        const bool greedy = (i == n - 1); // the last or only piece
        if (piece == QLatin1String("*"))
            result += greedy ? kGreedyStar : kLazyStar;
        else if (piece == QLatin1String("**"))
            result += greedy ? kGreedyDoubleStar : kLazyDoubleStar;
        else if (piece == QLatin1String("#"))
            result += kDigits;
        else if (piece == QLatin1String("##"))
            result += kDigitsAndSlashes;
        else
            result += regexLiteral(piece);
    }
    // A lone star needs at least one character.
    if (wildcardText == QLatin1String("*"))
        return QStringLiteral("([^\\/]+)");
    if (wildcardText == QLatin1String("**"))
        return QStringLiteral("(.+)");
    return result;
}

QString regexLiteral(const QString& text)
{
    static const QString metacharacters = QStringLiteral("\\*?+[](){}^$|.");
    QString result;
    result.reserve(text.size() * 2);
    for (const QChar c : text) {
        if (metacharacters.contains(c))
            result += QLatin1Char('\\');
        result += c;
    }
    return result;
}

QString escapedRegexCharacterGroup(const QString& text)
{
    static const QString special = QStringLiteral("[]^-\\");
    QString result;
    for (const QChar c : CanonicalText::nfc(text)) {
        if (special.contains(c))
            result += QLatin1Char('\\');
        result += c;
    }
    return result;
}

QList<CharacterRange> matches(const QString& text, const QString& pattern, RegexOptions options, QString* error)
{
    QString failure;
    const auto found = characterMatches(text, pattern, options, false, &failure);
    if (!found) {
        Log::error(Log::Category::process, "getMatches error: %{public}@", failure);
        if (error)
            *error = failure;
        return {};
    }
    return *found;
}

bool isMatch(const QString& text, const QString& pattern, RegexOptions options, QString* error)
{
    // Compiled even for an empty text: a pattern that does not compile fails every text.
    QString failure;
    const auto expression = RegularExpression::compile(CanonicalText::nfc(pattern), options, &failure);
    if (expression && text.isEmpty())
        return false;
    if (expression) {
        failure.clear();
        const auto match = expression->firstMatch(CanonicalText::nfc(text), &failure);
        if (failure.isEmpty())
            return match.has_value();
    }
    Log::error(Log::Category::process, "isMatch error: %{public}@", failure);
    if (error)
        *error = failure;
    return false;
}

QStringList getMatchGroups(const QString& text, const QString& pattern, RegexOptions options)
{
    QString error;
    const QString searched = CanonicalText::nfc(text);
    std::optional<QList<RegexMatch>> found;
    if (const auto expression = RegularExpression::compile(CanonicalText::nfc(pattern), options, &error))
        found = expression->matches(searched, &error);
    if (!found) {
        Log::error(Log::Category::process, "getMatchGroups error: %{public}@", error);
        return {};
    }
    QStringList groups;
    for (const RegexMatch& match : *found) {
        // A group that took no part gives an empty text, so positions stay put.
        for (const auto& group : match.groups)
            groups.append(group ? searched.mid(group->start, group->length()) : QString());
    }
    return groups;
}

std::optional<TextRange> firstRange(const QString& text, const RegularExpression& expression)
{
    const QString searched = CanonicalText::nfc(text);
    const auto match = expression.firstMatch(searched);
    if (!match)
        return std::nullopt;
    const auto characters = TextOffsets(searched).characterRange(match->range);
    if (!characters)
        return std::nullopt;
    return TextOffsets(text).utf16Range(*characters);
}

QList<TextRange> ranges(const QString& text, const QString& pattern, CompareOptions options, QString* error)
{
    // Regular-expression searches honour only the case and line options.
    const QString effective = options.testFlag(CompareOption::regularExpression) ? pattern : regexLiteral(pattern);
    const auto found = characterMatches(text, effective, regexOptions(options), true, error);
    if (!found)
        return {};
    const TextOffsets offsets(text);
    QList<TextRange> result;
    for (const CharacterRange& range : *found) {
        if (result.size() > offsets.characterCount())
            break;
        result.append(offsets.utf16Range(range));
    }
    return result;
}

TextRange range(const QString& text)
{
    return { 0, text.size() };
}

QString findReplace(const QString& text, const FindParameters& parameters,
    const std::function<QString(const QString&)>& replace)
{
    if (parameters.findText.isEmpty())
        return replace(text);
    QString result = text;
    const QList<TextRange> found = selectedRanges(text, parameters);
    for (auto it = found.crbegin(); it != found.crend(); ++it)
        result.replace(it->start, it->length(), replace(result.mid(it->start, it->length())));
    return result;
}

QString findAndTransformRanges(const QString& text, const FindParameters& parameters,
    const std::function<QString(TextRange, const QString&)>& transformRange)
{
    QString result = text;
    const QList<TextRange> found = selectedRanges(text, parameters);
    for (auto it = found.crbegin(); it != found.crend(); ++it)
        result = transformRange(*it, result);
    return result;
}

QString stringByReplacingOccurrences(const QString& text, const QString& pattern,
    const QString& replacementTemplate, bool caseInsensitive)
{
    CompareOptions options = CompareOption::regularExpression;
    if (caseInsensitive)
        options |= CompareOption::caseInsensitive;
    return stringByReplacingOccurrences(text, pattern, replacementTemplate, options);
}

QString stringByReplacingOccurrences(const QString& text, const QString& pattern,
    const QString& replacementTemplate, CompareOptions options)
{
    const QString composed = CanonicalText::nfc(text);
    const auto expression = RegularExpression::compile(CanonicalText::nfc(pattern), regexOptions(options));
    if (!expression)
        return text;
    return expression->replaceAll(composed, replacementTemplate).value_or(text);
}

} // namespace String
