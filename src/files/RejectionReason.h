// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHashFunctions>
#include <QString>

#include <optional>

// Why a folder was refused.
enum class RejectionReason { restrictedPath, readonlyPath, readonlyVolume, error };

namespace RejectionReasons {

QString rawValue(RejectionReason reason);
// Accepts exactly the four texts, case-sensitively.
std::optional<RejectionReason> fromRawValue(const QString& rawValue);

} // namespace RejectionReasons

inline size_t qHash(RejectionReason reason, size_t seed = 0)
{
    return qHash(RejectionReasons::rawValue(reason), seed);
}
