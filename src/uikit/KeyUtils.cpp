// SPDX-License-Identifier: GPL-3.0-or-later
#include "uikit/KeyUtils.h"

#include <QKeyEvent>

namespace KeyUtils {

ModifierFlags modifierFlags(Qt::KeyboardModifiers modifiers)
{
    ModifierFlags flags;
    if (modifiers & Qt::ShiftModifier)
        flags |= ModifierFlag::shift;
    if (modifiers & Qt::ControlModifier)
        flags |= ModifierFlag::command;
    if (modifiers & Qt::MetaModifier)
        flags |= ModifierFlag::control;
    if (modifiers & Qt::AltModifier)
        flags |= ModifierFlag::option;
    return flags;
}

std::optional<KeyCode> keyCode(int qtKey, Qt::KeyboardModifiers modifiers)
{
    static constexpr KeyCode digits[] = { KeyCode::zero, KeyCode::one, KeyCode::two, KeyCode::three,
        KeyCode::four, KeyCode::five, KeyCode::six, KeyCode::seven, KeyCode::eight, KeyCode::nine };
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
        // The codes are those of the main row; keypad digits have others.
        if (modifiers & Qt::KeypadModifier)
            return std::nullopt;
        return digits[qtKey - Qt::Key_0];
    }
    switch (qtKey) {
    case Qt::Key_Space: return KeyCode::space;
    case Qt::Key_Escape: return KeyCode::escape;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return KeyCode::tab;
    case Qt::Key_Return: return KeyCode::returnKey;
    case Qt::Key_Enter: return KeyCode::enter;
    case Qt::Key_Left: return KeyCode::left;
    case Qt::Key_Right: return KeyCode::right;
    case Qt::Key_Down: return KeyCode::down;
    case Qt::Key_Up: return KeyCode::up;
    case Qt::Key_Shift: return KeyCode::shift;
    default: return std::nullopt;
    }
}

std::optional<KeyCode> keyCode(const QKeyEvent& event)
{
    return keyCode(event.key(), event.modifiers());
}

bool hasNoModifier(ModifierFlags flags)
{
    return (flags.toInt() & WATCHED_MODIFIERS) == 0;
}

bool hasCommandModifierOnly(ModifierFlags flags)
{
    return (flags.toInt() & WATCHED_MODIFIERS) == static_cast<unsigned>(ModifierFlag::command);
}

bool isKeyDown(const QKeyEvent& event, KeyCode code, std::optional<ModifierFlags> modifier)
{
    if (keyCode(event) != code)
        return false;
    const ModifierFlags held = modifierFlags(event.modifiers());
    if (!modifier)
        return hasNoModifier(held);
    return (held & *modifier) == *modifier;
}

} // namespace KeyUtils
