// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <exception>

// A failed reverse geocoding: the texts of the alert that reports it, the
// geocoder's error code and whether asking again may help.
class GPSError : public std::exception {
public:
    static inline const QString DEFAULT_MESSAGETEXT = QStringLiteral("GPS Address information cannot be retrieved.");
    static inline const QString DEFAULT_INFOTEXT
        = QStringLiteral("The rest of the files will be renamed without GPS Address information.");
    // What a failure in the preview means: nothing is renamed yet.
    static inline const QString PREVIEW_INFOTEXT
        = QStringLiteral("The new names in the list are shown without GPS Address information. Rename asks for it again.");

    // The codes a geocoder answers with.
    static constexpr int LOCATION_UNKNOWN = 0;
    static constexpr int DENIED = 1;
    static constexpr int NETWORK = 2;
    static constexpr int NO_RESULT = 8;
    static constexpr int PARTIAL_RESULT = 9;
    static constexpr int OTHER = 10;
    static constexpr int TIMEDOUT = 99;

    explicit GPSError(int errorCode);

    QString messageText;
    QString informativeText;
    int errorCode;
    bool retry;

    // The informative text as the preview says it.
    QString previewInformativeText() const;

    const char* what() const noexcept override { return "GPSError"; }
};
