// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ruleui/FindTextTransformerViewController.h"

class QComboBox;
class QLineEdit;
class QSpinBox;

// The Insert editor: the find-and-text design plus where to insert ("Start"
// or "End") and an offset with its stepper kept equal to the field.
class InsertTransformerViewController : public FindTextTransformerViewController {
    Q_OBJECT
public:
    enum Tags { offsetNumberTag = 1, offsetStepperTag = 2 };
    static inline const QStringList locationValues = { QStringLiteral("start"), QStringLiteral("end") };
    static inline const QStringList positionLabels = { QStringLiteral("Start"), QStringLiteral("End") };

    explicit InsertTransformerViewController(QWidget* parent = nullptr);

    void loadState(const TransformerProperties& properties) override;
    void saveState(TransformerProperties& properties) override;

    QComboBox* positionPopup() const { return m_positionPopup; }
    QLineEdit* offsetNumber() const { return m_offsetNumber; }
    QSpinBox* offsetStepper() const { return m_offsetStepper; }

    // Copies the changed control's value into its partner, then saves.
    void stateChanged(QWidget* sender);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QComboBox* m_positionPopup;
    QLineEdit* m_offsetNumber;
    QSpinBox* m_offsetStepper;
};
