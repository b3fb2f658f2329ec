// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/TransformerProperties.h"

#include "tokens/JsonRead.h"

// Settings stored under the keys of older recipe formats. They are converted on
// every read, whatever version the recipe names, and only where present; a
// legacy key holding a value of the wrong type fails the read.
namespace {

// A count stored as text: empty or not a number gives the fallback.
qint64 countFromText(const QString& text, qint64 fallback)
{
    return JsonRead::decimalInteger(text).value_or(fallback);
}

} // namespace

void TransformerProperties::applyLegacyConversion_8_0(const QJsonObject& object)
{
    if (!conversionFindText) {
        conversionFindText = JsonRead::optionalString(object, QStringLiteral("caseMatch"));
        if (!conversionFindText)
            conversionFindText = JsonRead::optionalString(object, QStringLiteral("conversionMatch"));
    }
    if (!trimPosition)
        trimPosition = JsonRead::optionalString(object, QStringLiteral("trimLocation"));
    if (trimMatch) {
        if (*trimMatch == QLatin1String("any"))
            trimMatch = QStringLiteral("trimany");
        else if (*trimMatch == QLatin1String("anyof"))
            trimMatch = QStringLiteral("trimanyof");
        else if (*trimMatch == QLatin1String("anyexcept"))
            trimMatch = QStringLiteral("trimanyexcept");
    }
    if (!numberPosition) {
        numberPosition = JsonRead::optionalString(object, QStringLiteral("numberLocation"));
        if (numberPosition == QLatin1String("beginning"))
            numberPosition = QStringLiteral("start");
    }
    if (!numberPositionOffset)
        numberPositionOffset = JsonRead::optionalInteger(object, QStringLiteral("numberLocationOffset"));
    if (!insertFindText) {
        const auto match = JsonRead::optionalString(object, QStringLiteral("insertMatch"));
        if (match && !match->isEmpty()) {
            // The old insert matched by regular expression only.
            insertFindText = match;
            insertFindWildcards = false;
            insertFindRegex = true;
            insertFindCaseInsensitive = false;
        }
    }
    if (!insertPosition)
        insertPosition = JsonRead::optionalString(object, QStringLiteral("insertLocation"));
}

void TransformerProperties::applyLegacyConversion_9_0(const QJsonObject& object)
{
    // These texts replace the current fields even when those are stored too.
    if (const auto text = JsonRead::optionalString(object, QStringLiteral("numberDigitText")))
        numberDigits = countFromText(*text, 1);
    if (const auto text = JsonRead::optionalString(object, QStringLiteral("numberStartText")))
        numberStart = countFromText(*text, 1);
    if (const auto text = JsonRead::optionalString(object, QStringLiteral("numberSkipText")))
        numberSkip = countFromText(*text, 1);
    if (JsonRead::optionalBool(object, QStringLiteral("numberResetEvery")).value_or(false)) {
        if (const auto text = JsonRead::optionalString(object, QStringLiteral("numberResetEveryText")))
            numberResetCount = countFromText(*text, 0);
    }
}
