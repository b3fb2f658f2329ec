#pragma once

#include <cstdint>
#include <optional>

// The key codes the views react to. The values are the codes stored and
// compared throughout the application; KeyUtils maps Qt keys onto them.
enum class KeyCode : std::uint16_t {
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

// The case of a raw code, or nothing for a code that is not one of them.
std::optional<KeyCode> keyCodeFromRawValue(std::uint16_t rawValue);
