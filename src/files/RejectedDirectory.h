// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/RejectionReason.h"

#include <QString>

// A refused path and why. The same path may be refused once per reason.
struct RejectedDirectory {
    QString path;
    RejectionReason reason = RejectionReason::error;

    friend bool operator==(const RejectedDirectory&, const RejectedDirectory&) = default;
};

inline size_t qHash(const RejectedDirectory& rejected, size_t seed = 0)
{
    return qHashMulti(seed, rejected.path, RejectionReasons::rawValue(rejected.reason));
}
