// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <optional>

// The key codes the views react to. The values are stored and compared, so
// they never change.
enum class KeyCode : quint16 {
    space = 49,
    escape = 53,
    tab = 48,
    returnKey = 36,
    enter = 76,
    zero = 29,
    one = 18,
    two = 19,
    three = 20,
    four = 21,
    five = 23,
    six = 22,
    seven = 26,
    eight = 28,
    nine = 25,
    left = 123,
    right = 124,
    down = 125,
    up = 126,
    shift = 56,
};

// The key code of a raw value; none for a value that is not one of them.
std::optional<KeyCode> keyCodeFromRawValue(quint16 rawValue);
