// SPDX-License-Identifier: GPL-3.0-or-later
#include "uikit/IntegerField.h"

#include "core/DelayedUpdateWorker.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace {
std::optional<qint64> parse(const QString& text)
{
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}
} // namespace

IntegerField::IntegerField(QWidget* parent)
    : QAbstractSpinBox(parent)
{
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    setKeyboardTracking(false);
    lineEdit()->setText(QStringLiteral("0"));
    connect(this, &QAbstractSpinBox::editingFinished, this, [this] {
        const qint64 typed = value();
        lineEdit()->setText(QString::number(typed));
        if (typed != m_lastValue) {
            m_lastValue = typed;
            emit valueEdited(typed);
        }
    });
}

qint64 IntegerField::value() const
{
    return parse(lineEdit()->text()).value_or(0);
}

void IntegerField::setValue(qint64 value)
{
    m_lastValue = value;
    lineEdit()->setText(QString::number(value));
}

void IntegerField::setRange(qint64 minimum, qint64 maximum)
{
    m_minimum = minimum;
    m_maximum = std::max(minimum, maximum);
}

void IntegerField::setUpdatesWhileTyping(bool enabled)
{
    disconnect(m_typing);
    if (enabled)
        m_typing = connect(lineEdit(), &QLineEdit::textEdited, this, [] { DelayedUpdateWorker::scheduleDelayedUpdate(false); });
}

void IntegerField::stepBy(int steps)
{
    const qint64 current = std::clamp(value(), m_minimum, m_maximum);
    qint64 stepped = current;
    // Saturates at the ends of the range instead of wrapping.
    if (steps > 0)
        stepped = current > m_maximum - steps ? m_maximum : current + steps;
    else if (steps < 0)
        stepped = current < m_minimum - steps ? m_minimum : current + steps;
    if (m_steppingByKey) {
        lineEdit()->setText(QString::number(stepped));
        lineEdit()->selectAll();
        return;
    }
    setValue(stepped);
    lineEdit()->selectAll();
    emit valueEdited(stepped);
}

void IntegerField::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        m_steppingByKey = true;
        QAbstractSpinBox::keyPressEvent(event);
        m_steppingByKey = false;
        return;
    default:
        QAbstractSpinBox::keyPressEvent(event);
    }
}

QValidator::State IntegerField::validate(QString& input, int&) const
{
    const QString text = input.trimmed();
    if (text.isEmpty() || text == QLatin1String("-") || text == QLatin1String("+"))
        return QValidator::Intermediate;
    for (int i = 0; i < text.size(); ++i)
        if (!text.at(i).isDigit() && !(i == 0 && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))))
            return QValidator::Invalid;
    // Digits beyond the 64-bit range cannot be stored.
    return parse(text) ? QValidator::Acceptable : QValidator::Invalid;
}

void IntegerField::fixup(QString& input) const
{
    input = QString::number(parse(input).value_or(0));
}

QAbstractSpinBox::StepEnabled IntegerField::stepEnabled() const
{
    if (isReadOnly())
        return StepNone;
    const qint64 current = value();
    StepEnabled enabled = StepNone;
    if (current < m_maximum)
        enabled |= StepUpEnabled;
    if (current > m_minimum)
        enabled |= StepDownEnabled;
    return enabled;
}

QSize IntegerField::sizeHint() const
{
    QSize hint = QAbstractSpinBox::sizeHint();
    hint.setWidth(hint.width() + fontMetrics().horizontalAdvance(QStringLiteral("-00000000")));
    return hint;
}
