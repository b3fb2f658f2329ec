// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>
#include <QPoint>

// The picture of a removed rule button fading and shrinking where it was
// dropped, so that the removal is seen; undo brings the rule back.
namespace RemovalAnimation {

constexpr int DURATION_MILLISECONDS = 250;
// The object name of the short-lived window that shows it.
inline constexpr const char* OBJECT_NAME = "ruleRemovalAnimation";

void play(const QPixmap& picture, const QPoint& globalCenter);

} // namespace RemovalAnimation
