// SPDX-License-Identifier: GPL-3.0-or-later
#include "ruleui/InsertTransformerViewController.h"

#include "tokenui/ControlRole.h"
#include "uikit/NamedComboBox.h"
#include "uikit/ViewUtil.h"

#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace {
using P = TransformerProperties;

// Integer values of the offset field: text that is no number reads as 0.
qint64 integerValue(const QLineEdit* field)
{
    bool ok = false;
    const qint64 value = field->text().trimmed().toLongLong(&ok);
    return ok ? value : 0;
}
} // namespace

InsertTransformerViewController::InsertTransformerViewController(QWidget* parent)
    : FindTextTransformerViewController({ TransformerType::insert, QStringLiteral("Insert"), QStringLiteral("Insert"),
                                            &P::insertFindText, &P::insertText,
                                            {
                                                { QStringLiteral("Wildcards"), &P::insertFindWildcards, false, true },
                                                { QStringLiteral("RegEx"), &P::insertFindRegex, false, false },
                                                { QStringLiteral("Case"), &P::insertFindCaseInsensitive, true, false },
                                                { QStringLiteral("First"), &P::insertFindFirst, false, true },
                                            } },
        parent)
    , m_positionPopup(new NamedComboBox(this))
    , m_offsetNumber(new QLineEdit(this))
    , m_offsetStepper(new QSpinBox(this))
{
    m_positionPopup->addItems(positionLabels);
    ControlRole::setTag(m_offsetNumber, offsetNumberTag);
    ControlRole::setTag(m_offsetStepper, offsetStepperTag);
    m_offsetStepper->setRange(-9999, 9999);
    m_offsetStepper->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    m_offsetStepper->setMaximumWidth(20);
    m_layout->addWidget(m_positionPopup, 2, 1, Qt::AlignLeft);
    m_layout->addWidget(m_offsetNumber, 3, 1, Qt::AlignLeft);
    m_layout->addWidget(m_offsetStepper, 3, 2, Qt::AlignLeft);
    m_layout->setRowStretch(2, 0);
    m_layout->setRowStretch(4, 1);
    m_offsetNumber->installEventFilter(this);
    ViewUtil::describe(m_positionPopup, QStringLiteral("Position"), QStringLiteral("Insert at the start or the end"));
    ViewUtil::describe(m_offsetNumber, QStringLiteral("Offset"),
        QStringLiteral("Characters to move the insertion by (Up and Down arrows step it)"));
    ViewUtil::describe(m_offsetStepper, QStringLiteral("Offset stepper"), QStringLiteral("Steps the offset"));

    connect(m_positionPopup, &QComboBox::activated, this, [this] { stateChanged(m_positionPopup); });
    connect(m_offsetNumber, &QLineEdit::editingFinished, this, [this] { stateChanged(m_offsetNumber); });
    connect(m_offsetStepper, &QSpinBox::valueChanged, this, [this] {
        if (m_offsetStepper->hasFocus() || m_offsetStepper->underMouse())
            stateChanged(m_offsetStepper);
    });
}

void InsertTransformerViewController::stateChanged(QWidget* sender)
{
    const qint64 tag = ControlRole::tag(sender);
    if (tag == offsetNumberTag) {
        const QSignalBlocker block(m_offsetStepper);
        m_offsetStepper->setValue(int(integerValue(m_offsetNumber)));
    } else if (tag == offsetStepperTag) {
        m_offsetNumber->setText(QString::number(m_offsetStepper->value()));
    }
    FindOptions::postSave();
}

bool InsertTransformerViewController::eventFilter(QObject* watched, QEvent* event)
{
    // Up and Down step the offset by 1 without saving; the next save stores it.
    if (watched == m_offsetNumber && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            const qint64 value = integerValue(m_offsetNumber);
            const qint64 stepped = key == Qt::Key_Up ? (value < INT_MAX ? value + 1 : value) : (value > INT_MIN ? value - 1 : value);
            m_offsetNumber->setText(QString::number(stepped));
            return true;
        }
    }
    return FindTextTransformerViewController::eventFilter(watched, event);
}

void InsertTransformerViewController::loadState(const TransformerProperties& properties)
{
    FindTextTransformerViewController::loadState(properties);
    ViewUtil::populateSelector(m_positionPopup, locationValues, properties.insertPosition);
    m_offsetNumber->setText(QString::number(properties.insertOffset.value_or(0)));
}

void InsertTransformerViewController::saveState(TransformerProperties& properties)
{
    FindTextTransformerViewController::saveState(properties);
    const int position = std::clamp(m_positionPopup->currentIndex(), 0, int(locationValues.size()) - 1);
    properties.insertPosition = locationValues.at(position);
    properties.insertOffset = integerValue(m_offsetNumber);
    const QSignalBlocker block(m_offsetStepper);
    m_offsetStepper->setValue(int(std::clamp<qint64>(*properties.insertOffset, m_offsetStepper->minimum(), m_offsetStepper->maximum())));
}
