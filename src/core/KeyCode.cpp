// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/KeyCode.h"

std::optional<KeyCode> keyCodeFromRawValue(quint16 rawValue)
{
    switch (static_cast<KeyCode>(rawValue)) {
    case KeyCode::space: case KeyCode::escape: case KeyCode::tab: case KeyCode::returnKey:
    case KeyCode::enter: case KeyCode::zero: case KeyCode::one: case KeyCode::two:
    case KeyCode::three: case KeyCode::four: case KeyCode::five: case KeyCode::six:
    case KeyCode::seven: case KeyCode::eight: case KeyCode::nine: case KeyCode::left:
    case KeyCode::right: case KeyCode::down: case KeyCode::up: case KeyCode::shift:
        return static_cast<KeyCode>(rawValue);
    }
    return std::nullopt;
}
