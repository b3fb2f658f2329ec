// SPDX-License-Identifier: GPL-3.0-or-later
#include "uikit/DelayedUpdateTextField.h"

#include "core/DelayedUpdateWorker.h"

DelayedUpdateTextField::DelayedUpdateTextField(QWidget* parent)
    : QLineEdit(parent)
{
    connect(this, &QLineEdit::textEdited, this,
        [] { DelayedUpdateWorker::scheduleDelayedUpdate(false); });
}
