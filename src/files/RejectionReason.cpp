// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/RejectionReason.h"

namespace RejectionReasons {

QString rawValue(RejectionReason reason)
{
    switch (reason) {
    case RejectionReason::restrictedPath:
        return QStringLiteral("Path is restricted");
    case RejectionReason::readonlyPath:
        return QStringLiteral("Path is read only");
    case RejectionReason::readonlyVolume:
        return QStringLiteral("Volume is read only");
    case RejectionReason::error:
        return QStringLiteral("Not accessible");
    }
    return {};
}

std::optional<RejectionReason> fromRawValue(const QString& text)
{
    for (RejectionReason reason : { RejectionReason::restrictedPath, RejectionReason::readonlyPath,
             RejectionReason::readonlyVolume, RejectionReason::error }) {
        if (rawValue(reason) == text)
            return reason;
    }
    return std::nullopt;
}

} // namespace RejectionReasons
