// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLineEdit>

// A text field whose edits save the rule being edited after a short pause: the
// first edit of a burst schedules one delayed update (no re-run of the
// preview); further edits join it. Programmatic setText() schedules nothing.
class DelayedUpdateTextField : public QLineEdit {
    Q_OBJECT
public:
    explicit DelayedUpdateTextField(QWidget* parent = nullptr);
};
