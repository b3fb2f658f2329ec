// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokens/GPSError.h"

GPSError::GPSError(int code)
    : informativeText(DEFAULT_INFOTEXT)
    , errorCode(code)
    , retry(false)
{
    // A bare number in parentheses says nothing to a reader.
    const QString suffix = QStringLiteral(" (error code %1)").arg(code);
    switch (code) {
    case LOCATION_UNKNOWN:
        messageText = QStringLiteral("The location manager was unable to obtain a location value right now.") + suffix;
        retry = true;
        break;
    case DENIED:
        // A refusal does not change by waiting.
        messageText = QStringLiteral("Access to the location service was denied by the user.") + suffix;
        break;
    case NETWORK:
        messageText = QStringLiteral("The network was unavailable or a network error occurred.") + suffix;
        informativeText = QStringLiteral("This may be only temporary. Please try again in a minute.\n\n") + DEFAULT_INFOTEXT;
        retry = true;
        break;
    case NO_RESULT:
        messageText = QStringLiteral("The geocode request yielded no result.") + suffix;
        break;
    case PARTIAL_RESULT:
        messageText = QStringLiteral("The geocode request yielded a partial result.") + suffix;
        break;
    case TIMEDOUT:
        messageText = QStringLiteral("GPS Address retrieval timed out.") + suffix;
        break;
    default:
        messageText = DEFAULT_MESSAGETEXT + suffix;
        break;
    }
}

QString GPSError::previewInformativeText() const
{
    QString text = informativeText;
    if (text.endsWith(DEFAULT_INFOTEXT))
        text.chop(DEFAULT_INFOTEXT.size());
    return text + PREVIEW_INFOTEXT;
}
