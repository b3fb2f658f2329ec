// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QPalette>

// A dark palette as dark desktop themes give one, and a guard that puts the
// application's palette back when a test ends.
namespace Palettes {

inline QPalette dark()
{
    QPalette palette;
    const QColor window(0x2d, 0x2d, 0x2d), base(0x1e, 0x1e, 0x1e), text(0xee, 0xee, 0xee);
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::AlternateBase, window);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, window);
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::Midlight, QColor(0x44, 0x44, 0x44));
    palette.setColor(QPalette::Link, QColor(0x8a, 0xb4, 0xf8));
    palette.setColor(QPalette::Highlight, QColor(0x35, 0x84, 0xe4));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x80));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x80, 0x80));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x80, 0x80));
    return palette;
}

class Restore {
public:
    Restore() : m_saved(QApplication::palette()) { }
    ~Restore() { QApplication::setPalette(m_saved); }

private:
    QPalette m_saved;
};

} // namespace Palettes
