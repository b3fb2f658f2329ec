// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/RegularExpression.h"

#include "core/IcuString.h"

#include <unicode/regex.h>
#include <unicode/utypes.h>

namespace {

// What is wrong, for someone who types a pattern: ICU's own names are codes.
QString problemInWords(UErrorCode status)
{
    switch (status) {
    case U_REGEX_MISMATCHED_PAREN: return QStringLiteral("a parenthesis is not closed or not opened");
    case U_REGEX_MISSING_CLOSE_BRACKET: return QStringLiteral("a \u201c[\u201d has no closing \u201c]\u201d");
    case U_REGEX_BAD_ESCAPE_SEQUENCE: return QStringLiteral("a backslash is followed by a character it cannot escape");
    case U_REGEX_PROPERTY_SYNTAX: return QStringLiteral("a character property is written wrongly");
    case U_REGEX_RULE_SYNTAX: return QStringLiteral("a character cannot stand where it is, such as a repeat with nothing before it");
    case U_REGEX_NUMBER_TOO_BIG: return QStringLiteral("a number is too big");
    case U_REGEX_BAD_INTERVAL: return QStringLiteral("a repeat count in braces is written wrongly");
    case U_REGEX_MAX_LT_MIN: return QStringLiteral("a repeat count's maximum is below its minimum");
    case U_REGEX_INVALID_BACK_REF: return QStringLiteral("a back reference names a group that does not exist");
    case U_REGEX_INVALID_FLAG: return QStringLiteral("an option flag is unknown");
    case U_REGEX_LOOK_BEHIND_LIMIT: return QStringLiteral("a look-behind has no bounded length");
    case U_REGEX_SET_CONTAINS_STRING: return QStringLiteral("a set in brackets holds a string");
    case U_REGEX_OCTAL_TOO_BIG: return QStringLiteral("an octal number is too big");
    case U_REGEX_INVALID_RANGE: return QStringLiteral("a range in brackets runs backwards");
    case U_REGEX_PATTERN_TOO_BIG: return QStringLiteral("the pattern is too long");
    case U_REGEX_INVALID_CAPTURE_GROUP_NAME: return QStringLiteral("a group name is written wrongly");
    default: return QStringLiteral("the pattern cannot be used (%1)").arg(QString::fromLatin1(u_errorName(status)));
    }
}

QString errorText(const QString& pattern, UErrorCode status, const UParseError* parseError = nullptr)
{
    if (status == U_REGEX_TIME_OUT)
        return QStringLiteral("The regular expression '%1' took too long to match").arg(pattern);
    QString text = QStringLiteral("Invalid regular expression '%1': %2").arg(pattern, problemInWords(status));
    if (parseError && parseError->offset >= 0)
        text += QStringLiteral(", near character %1").arg(parseError->offset);
    return text;
}

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

thread_local RegularExpression::TimeOuts* timeOutsInScope = nullptr;

} // namespace

RegularExpression::TimeOuts::Scope::Scope(TimeOuts& timeOuts)
    : m_outer(timeOutsInScope)
{
    timeOutsInScope = &timeOuts;
}

RegularExpression::TimeOuts::Scope::~Scope()
{
    timeOutsInScope = m_outer;
}

bool RegularExpression::TimeOuts::contains(const QString& key) const
{
    const std::lock_guard lock(m_mutex);
    return m_keys.contains(key);
}

bool RegularExpression::TimeOuts::any() const
{
    const std::lock_guard lock(m_mutex);
    return !m_keys.isEmpty();
}

void RegularExpression::TimeOuts::insert(const QString& key)
{
    const std::lock_guard lock(m_mutex);
    m_keys.insert(key);
}

RegularExpression::RegularExpression(
    std::shared_ptr<const icu::RegexPattern> pattern, const QString& source, RegexOptions options)
    : m_pattern(std::move(pattern))
    , m_source(source)
    , m_options(options)
{
}

QString RegularExpression::timeOutKey() const
{
    return QString::number(m_options.toInt()) + QLatin1Char(':') + m_source;
}

bool RegularExpression::mayRun(QString* error) const
{
    if (!timeOutsInScope || !timeOutsInScope->contains(timeOutKey()))
        return true;
    setError(error, errorText(m_source, U_REGEX_TIME_OUT));
    return false;
}

void RegularExpression::noteFailure(int status) const
{
    if (status == U_REGEX_TIME_OUT && timeOutsInScope)
        timeOutsInScope->insert(timeOutKey());
}

std::optional<RegularExpression> RegularExpression::compile(
    const QString& pattern, RegexOptions options, QString* error)
{
    uint32_t flags = 0;
    if (options.testFlag(RegexOption::caseInsensitive))
        flags |= UREGEX_CASE_INSENSITIVE;
    if (options.testFlag(RegexOption::anchorsMatchLines))
        flags |= UREGEX_MULTILINE;
    UErrorCode status = U_ZERO_ERROR;
    UParseError parseError {};
    parseError.offset = -1;
    std::unique_ptr<icu::RegexPattern> compiled(
        icu::RegexPattern::compile(IcuString::toIcu(pattern), flags, parseError, status));
    if (U_FAILURE(status) || !compiled) {
        setError(error, errorText(pattern, U_FAILURE(status) ? status : U_MEMORY_ALLOCATION_ERROR, &parseError));
        return std::nullopt;
    }
    return RegularExpression(std::shared_ptr<const icu::RegexPattern>(std::move(compiled)), pattern, options);
}

int RegularExpression::groupCount() const
{
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<icu::RegexMatcher> matcher(m_pattern->matcher(status));
    return U_SUCCESS(status) && matcher ? matcher->groupCount() : 0;
}

std::optional<QList<RegexMatch>> RegularExpression::run(
    const QString& text, QString* error, bool stopAtTextEnd, bool firstOnly) const
{
    if (!mayRun(error))
        return std::nullopt;
    // The matcher keeps a reference to its input: `input` outlives `matcher`.
    const icu::UnicodeString input = IcuString::toIcu(text);
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::RegexMatcher> matcher(m_pattern->matcher(input, status));
    if (U_FAILURE(status) || !matcher) {
        setError(error, errorText(m_source, U_FAILURE(status) ? status : U_MEMORY_ALLOCATION_ERROR));
        return std::nullopt;
    }
    matcher->useAnchoringBounds(false);
    matcher->setTimeLimit(TIME_LIMIT, status);

    QList<RegexMatch> result;
    const int32_t groupCount = matcher->groupCount();
    while (matcher->find(status)) {
        RegexMatch match;
        match.range = { matcher->start(status), matcher->end(status) };
        for (int32_t g = 1; g <= groupCount; ++g) {
            const int32_t start = matcher->start(g, status);
            if (start < 0)
                match.groups.append(std::nullopt);
            else
                match.groups.append(TextRange { start, matcher->end(g, status) });
        }
        if (U_FAILURE(status))
            break;
        result.append(match);
        if (firstOnly || (stopAtTextEnd && match.range.end == text.size()))
            break;
    }
    if (U_FAILURE(status)) {
        noteFailure(status);
        setError(error, errorText(m_source, status));
        return std::nullopt;
    }
    return result;
}

std::optional<QList<RegexMatch>> RegularExpression::matches(
    const QString& text, QString* error, bool stopAtTextEnd) const
{
    return run(text, error, stopAtTextEnd, false);
}

std::optional<RegexMatch> RegularExpression::firstMatch(const QString& text, QString* error) const
{
    const auto found = run(text, error, false, true);
    if (!found || found->isEmpty())
        return std::nullopt;
    return found->first();
}

std::optional<QString> RegularExpression::replaceAll(
    const QString& text, const QString& replacementTemplate, QString* error) const
{
    if (!mayRun(error))
        return std::nullopt;
    const icu::UnicodeString input = IcuString::toIcu(text);
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::RegexMatcher> matcher(m_pattern->matcher(input, status));
    if (U_FAILURE(status) || !matcher) {
        setError(error, errorText(m_source, U_FAILURE(status) ? status : U_MEMORY_ALLOCATION_ERROR));
        return std::nullopt;
    }
    matcher->useAnchoringBounds(false);
    matcher->setTimeLimit(TIME_LIMIT, status);
    // The matcher's own replaceAll takes a time-out for the end of the
    // matches; this loop reports it.
    const icu::UnicodeString replacement = IcuString::toIcu(replacementTemplate);
    icu::UnicodeString result;
    while (U_SUCCESS(status) && matcher->find(status))
        matcher->appendReplacement(result, replacement, status);
    if (U_SUCCESS(status))
        matcher->appendTail(result);
    if (U_FAILURE(status)) {
        noteFailure(status);
        setError(error, errorText(m_source, status));
        return std::nullopt;
    }
    return IcuString::fromIcu(result);
}
