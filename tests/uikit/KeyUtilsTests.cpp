// SPDX-License-Identifier: GPL-3.0-or-later
#include "uikit/KeyUtils.h"

#include <QKeyEvent>

#include <gtest/gtest.h>

namespace {
QKeyEvent press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    return QKeyEvent(QEvent::KeyPress, key, modifiers);
}
} // namespace

TEST(KeyUtils, QtKeysMapOntoTheKeyCodes)
{
    struct Case {
        int qtKey;
        Qt::KeyboardModifiers modifiers;
        std::optional<KeyCode> code;
        int raw;
    };
    const Case cases[] = {
        { Qt::Key_Space, Qt::NoModifier, KeyCode::space, 49 },
        { Qt::Key_Escape, Qt::NoModifier, KeyCode::escape, 53 },
        { Qt::Key_Tab, Qt::NoModifier, KeyCode::tab, 48 },
        { Qt::Key_Backtab, Qt::ShiftModifier, KeyCode::tab, 48 },
        { Qt::Key_Return, Qt::NoModifier, KeyCode::returnKey, 36 },
        { Qt::Key_Enter, Qt::KeypadModifier, KeyCode::enter, 76 },
        { Qt::Key_0, Qt::NoModifier, KeyCode::zero, 29 },
        { Qt::Key_1, Qt::NoModifier, KeyCode::one, 18 },
        { Qt::Key_5, Qt::NoModifier, KeyCode::five, 23 },
        { Qt::Key_6, Qt::NoModifier, KeyCode::six, 22 },
        { Qt::Key_7, Qt::NoModifier, KeyCode::seven, 26 },
        { Qt::Key_8, Qt::NoModifier, KeyCode::eight, 28 },
        { Qt::Key_9, Qt::NoModifier, KeyCode::nine, 25 },
        { Qt::Key_Left, Qt::NoModifier, KeyCode::left, 123 },
        { Qt::Key_Right, Qt::NoModifier, KeyCode::right, 124 },
        { Qt::Key_Down, Qt::NoModifier, KeyCode::down, 125 },
        { Qt::Key_Up, Qt::NoModifier, KeyCode::up, 126 },
        { Qt::Key_Shift, Qt::ShiftModifier, KeyCode::shift, 56 },
        { Qt::Key_5, Qt::KeypadModifier, std::nullopt, 0 }, // keypad digits have codes of their own
        { Qt::Key_A, Qt::NoModifier, std::nullopt, 0 },
    };
    for (const Case& c : cases) {
        const auto code = KeyUtils::keyCode(press(c.qtKey, c.modifiers));
        EXPECT_EQ(code, c.code) << std::hex << c.qtKey;
        if (c.code)
            EXPECT_EQ(static_cast<int>(*code), c.raw);
    }
}

TEST(KeyUtils, RawValuesOutsideTheTableHaveNoCase)
{
    EXPECT_EQ(keyCodeFromRawValue(76), KeyCode::enter);
    EXPECT_EQ(keyCodeFromRawValue(36), KeyCode::returnKey);
    EXPECT_EQ(keyCodeFromRawValue(24), std::nullopt);
    EXPECT_EQ(keyCodeFromRawValue(0), std::nullopt);
}

TEST(KeyUtils, OptionAndTheKeypadNeverCountAsHeldModifiers)
{
    struct Case {
        Qt::KeyboardModifiers modifiers;
        bool none;
        bool commandOnly;
    };
    const Case cases[] = {
        { Qt::NoModifier, true, false },
        { Qt::AltModifier, true, false },
        { Qt::KeypadModifier, true, false },
        { Qt::ShiftModifier, false, false },
        { Qt::MetaModifier, false, false },
        { Qt::ControlModifier, false, true },
        { Qt::ControlModifier | Qt::AltModifier, false, true },
        { Qt::ControlModifier | Qt::ShiftModifier, false, false },
    };
    for (const Case& c : cases) {
        const ModifierFlags flags = KeyUtils::modifierFlags(c.modifiers);
        EXPECT_EQ(KeyUtils::hasNoModifier(flags), c.none) << c.modifiers.toInt();
        EXPECT_EQ(KeyUtils::hasCommandModifierOnly(flags), c.commandOnly) << c.modifiers.toInt();
    }
}

TEST(KeyUtils, IsKeyDownWithAndWithoutAModifier)
{
    const ModifierFlags command = ModifierFlag::command;
    EXPECT_TRUE(KeyUtils::isKeyDown(press(Qt::Key_Space, Qt::ControlModifier | Qt::ShiftModifier), KeyCode::space, command));
    EXPECT_FALSE(KeyUtils::isKeyDown(press(Qt::Key_Space, Qt::ShiftModifier), KeyCode::space, command));
    EXPECT_FALSE(KeyUtils::isKeyDown(press(Qt::Key_Space, Qt::ShiftModifier), KeyCode::space));
    EXPECT_TRUE(KeyUtils::isKeyDown(press(Qt::Key_Space, Qt::AltModifier), KeyCode::space));
    EXPECT_TRUE(KeyUtils::isKeyDown(press(Qt::Key_Enter, Qt::KeypadModifier), KeyCode::enter));
    EXPECT_FALSE(KeyUtils::isKeyDown(press(Qt::Key_Return), KeyCode::enter));
}
