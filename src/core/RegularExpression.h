// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/TextOffsets.h"

#include <QFlags>
#include <QList>
#include <QSet>
#include <QString>

#include <memory>
#include <mutex>
#include <optional>

#include <unicode/uversion.h>

U_NAMESPACE_BEGIN
class RegexPattern;
U_NAMESPACE_END

enum class RegexOption { caseInsensitive = 1, anchorsMatchLines = 2 };
Q_DECLARE_FLAGS(RegexOptions, RegexOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(RegexOptions)

// One match, in UTF-16 positions of the searched text; a group that took no
// part in the match is absent.
struct RegexMatch {
    TextRange range;
    QList<std::optional<TextRange>> groups; // groups 1, 2, ...
};

// A compiled ICU regular expression. Every match runs under a time limit, so a
// catastrophic user pattern ends with an error instead of freezing the caller;
// callers treat the time-out like an invalid pattern.
class RegularExpression {
public:
    // ICU match-engine steps (roughly milliseconds).
    static constexpr int TIME_LIMIT = 250;

    // The patterns that ran out of time during one pass over the file list.
    // While a pass has them in scope on its thread, a pattern that timed out
    // once fails at once for every later text: a hostile pattern costs the
    // time limit once a pass, not once a file.
    class TimeOuts {
    public:
        // Puts `timeOuts` in scope on this thread until the scope ends.
        class Scope {
        public:
            explicit Scope(TimeOuts& timeOuts);
            ~Scope();
            Scope(const Scope&) = delete;
            Scope& operator=(const Scope&) = delete;

        private:
            TimeOuts* m_outer;
        };

        // Whether a pattern ran out of time in this pass.
        bool any() const;

    private:
        friend class RegularExpression;
        bool contains(const QString& key) const;
        void insert(const QString& key);

        mutable std::mutex m_mutex;
        QSet<QString> m_keys;
    };

    static std::optional<RegularExpression> compile(
        const QString& pattern, RegexOptions options, QString* error = nullptr);

    // All matches from the start, without anchoring bounds. With `stopAtTextEnd`
    // the walk ends after the first match that reaches the end of the text.
    // None (and `error` set) when matching fails or times out.
    std::optional<QList<RegexMatch>> matches(
        const QString& text, QString* error = nullptr, bool stopAtTextEnd = false) const;

    // None when there is no match; `error` tells a failure from no match.
    std::optional<RegexMatch> firstMatch(const QString& text, QString* error = nullptr) const;

    // Every match replaced by the template ("$1" names a group); none on failure.
    std::optional<QString> replaceAll(
        const QString& text, const QString& replacementTemplate, QString* error = nullptr) const;

    QString pattern() const { return m_source; }
    // The number of capture groups of the pattern.
    int groupCount() const;

private:
    RegularExpression(std::shared_ptr<const icu::RegexPattern> pattern, const QString& source, RegexOptions options);
    std::optional<QList<RegexMatch>> run(
        const QString& text, QString* error, bool stopAtTextEnd, bool firstOnly) const;
    // False, with the time-out as the error, when the pattern already timed
    // out in this pass.
    bool mayRun(QString* error) const;
    // Notes a time-out in the pass in scope.
    void noteFailure(int status) const;
    QString timeOutKey() const;

    std::shared_ptr<const icu::RegexPattern> m_pattern;
    QString m_source;
    RegexOptions m_options;
};
