// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ruleui/TransformerView.h"

#include <QMap>
#include <QStringList>
#include <QWidget>

class IntegerField;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The Numbering editor: where the number goes (an optional find text, start
// or end, an offset), its separator, format and digits, and either a counter
// (start, skip, repeat, reset every N files or on a change of folder, update
// the start after a rename) or random numbers with a Generate button.
class NumberingTransformerViewController : public QWidget, public TransformerView {
    Q_OBJECT
public:
    explicit NumberingTransformerViewController(QWidget* parent = nullptr);

    QWidget* viewController() override { return this; }
    TransformViewInfo transformViewInfo() override;
    void enableDynamicControls(bool enabled) override;
    void loadState(const TransformerProperties& properties) override;
    QWidget* patternField() override;
    void saveState(TransformerProperties& properties) override;

    TransformDialogTextField* numberFindText() const { return m_numberFindText; }
    SegmentedControl* numberFindOptions() const { return m_numberFindOptions; }
    QComboBox* numberPositionSelector() const { return m_numberPositionSelector; }
    IntegerField* numberPositionOffset() const { return m_numberPositionOffset; }
    QLineEdit* numberSeparatorText() const { return m_numberSeparatorText; }
    QComboBox* numberFormat() const { return m_numberFormat; }
    IntegerField* numberDigits() const { return m_numberDigits; }
    QCheckBox* numberRandom() const { return m_numberRandom; }
    QPushButton* numberGenerateButton() const { return m_numberGenerateButton; }
    QLabel* numberStartLabel() const { return m_numberStartLabel; }
    IntegerField* numberStart() const { return m_numberStart; }
    IntegerField* numberSkip() const { return m_numberSkip; }
    IntegerField* numberRepeatCount() const { return m_numberRepeatCount; }
    QCheckBox* numberResetEvery() const { return m_numberResetEvery; }
    IntegerField* numberResetEveryText() const { return m_numberResetEveryText; }
    QCheckBox* resetEveryDirectoryCheckbox() const { return m_resetEveryDirectoryCheckbox; }
    QCheckBox* numberUpdateStartAfterRename() const { return m_numberUpdateStartAfterRename; }

    // Position and format: popup title to stored value.
    static const QMap<QString, QString>& numberPositions();
    static const QStringList& numberFormatItems();
    static const QMap<QString, QString>& numberFormats();

    void stateChanged();
    void numberDigitChanged();
    void numberResetEveryChanged();
    void numberRandomChanged();
    void numberGenerateButtonAction();
    void updateNumberResetState(bool enabled);

private:
    void initControls();
    // The counters are usable while input is enabled and random numbers are off.
    bool countersUsable() const;

    TransformDialogTextField* m_numberFindText;
    SegmentedControl* m_numberFindOptions;
    QComboBox* m_numberPositionSelector;
    IntegerField* m_numberPositionOffset;
    QLineEdit* m_numberSeparatorText;
    QComboBox* m_numberFormat;
    IntegerField* m_numberDigits;
    QCheckBox* m_numberRandom;
    QPushButton* m_numberGenerateButton;
    QLabel* m_numberStartLabel;
    IntegerField* m_numberStart;
    QLabel* m_numberSkipLabel;
    IntegerField* m_numberSkip;
    QLabel* m_numberRepeatLabel;
    IntegerField* m_numberRepeatCount;
    QCheckBox* m_numberResetEvery;
    IntegerField* m_numberResetEveryText;
    QCheckBox* m_resetEveryDirectoryCheckbox;
    QCheckBox* m_numberUpdateStartAfterRename;
    QMap<QString, QString> m_numberPositionByValue;
    QMap<QString, QString> m_numberFormatByValue;
    bool m_inputEnabled = true;
};
