// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractSpinBox>

#include <limits>

// An integer field with its stepper in one control, over the whole range a
// rule setting can hold (64 bits). The arrows and the Up and Down keys step
// by 1 and stop at the ends of the range; only digits with an optional sign
// can be typed. A click on an arrow is an edit of its own; a key step is
// typing, committed with the rest of the edit (Return or leaving the field).
class IntegerField : public QAbstractSpinBox {
    Q_OBJECT
public:
    explicit IntegerField(QWidget* parent = nullptr);

    // The value shown; an empty or unfinished text counts as 0.
    qint64 value() const;
    // Shows the value as given, also outside the range (a stored value is
    // never changed by showing it).
    void setValue(qint64 value);
    qint64 minimum() const { return m_minimum; }
    qint64 maximum() const { return m_maximum; }
    void setRange(qint64 minimum, qint64 maximum);
    // Typing also saves the rule being edited after a short pause, as a
    // delayed-update text field does.
    void setUpdatesWhileTyping(bool enabled);

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& position) const override;
    void fixup(QString& input) const override;
    // Room for eight digits and a sign; longer numbers scroll.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    // The user stepped, or finished typing a different value.
    void valueEdited(qint64 value);

protected:
    StepEnabled stepEnabled() const override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    qint64 m_minimum = std::numeric_limits<qint64>::min();
    qint64 m_maximum = std::numeric_limits<qint64>::max();
    qint64 m_lastValue = 0;
    bool m_steppingByKey = false;
    QMetaObject::Connection m_typing;
};
