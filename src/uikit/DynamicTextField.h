// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTextEdit>

// A plain-text field that wraps over as many lines as it needs and asks the
// layout for the height its text takes at its current width, so it grows and
// shrinks with its text. It may be made narrower than its text, never shorter.
class DynamicTextField : public QTextEdit {
    Q_OBJECT
public:
    explicit DynamicTextField(QWidget* parent = nullptr);

    QString text() const { return toPlainText(); }
    void setText(const QString& text) { setPlainText(text); }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;

private:
    // Runs once, the first time the field is placed in a parent.
    void setupLayout();

    bool m_isSetup = false;
};
