// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/KeyCode.h"

#include <QFlags>
#include <Qt>

#include <optional>

class QKeyEvent;

// Modifier flags with the values the key helpers test. On Linux the Ctrl key
// plays the command role, Meta (the logo key) the control role, Alt the option
// role. The keypad is not a held modifier here: Qt marks keypad keys with it,
// and keypad Enter is told apart by its key code.
enum class ModifierFlag : unsigned {
    capsLock = 0x10000,
    shift = 0x20000,
    control = 0x40000,
    option = 0x80000,
    command = 0x100000,
    numericPad = 0x200000,
    help = 0x400000,
    function = 0x800000,
};
Q_DECLARE_FLAGS(ModifierFlags, ModifierFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(ModifierFlags)

namespace KeyUtils {

// Shift, control, command, numeric pad, help and function; option and caps lock
// never count as held.
inline constexpr unsigned WATCHED_MODIFIERS = 0xF60000;

ModifierFlags modifierFlags(Qt::KeyboardModifiers modifiers);
// The code of a Qt key; keypad digits and unlisted keys have none.
std::optional<KeyCode> keyCode(int qtKey, Qt::KeyboardModifiers modifiers);
std::optional<KeyCode> keyCode(const QKeyEvent& event);

bool hasNoModifier(ModifierFlags flags);
bool hasCommandModifierOnly(ModifierFlags flags);
// True when the event is that key and, without `modifier`, no watched modifier
// is held; with `modifier`, every one of its flags is held (others may be too).
bool isKeyDown(const QKeyEvent& event, KeyCode keyCode, std::optional<ModifierFlags> modifier = std::nullopt);

} // namespace KeyUtils
