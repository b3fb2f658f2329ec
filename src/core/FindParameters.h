// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

// The find options of one rule.
struct FindParameters {
    QString findText;
    bool wildcards = false;
    bool regex = false; // ignored when `wildcards` is set
    bool caseInsensitive = false;
    bool findFirst = false;

    FindParameters() = default;
    FindParameters(std::optional<QString> findText, std::optional<bool> wildcards = {},
        std::optional<bool> regex = {}, std::optional<bool> caseInsensitive = {},
        std::optional<bool> findFirst = {})
        : findText(findText.value_or(QString()))
        , wildcards(wildcards.value_or(false))
        , regex(regex.value_or(false))
        , caseInsensitive(caseInsensitive.value_or(false))
        , findFirst(findFirst.value_or(false))
    {
    }

    // The regular expression the find text stands for.
    QString pattern() const;
};
