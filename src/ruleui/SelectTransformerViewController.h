// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ruleui/TransformerView.h"

#include <QMap>
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;

// The Select editor: every file, or those whose name matches (or does not
// match) a regular expression, for the rules after it.
class SelectTransformerViewController : public QWidget, public TransformerView {
    Q_OBJECT
public:
    static inline const QString ALL_TITLE = QStringLiteral("All");
    // Popup title to stored type; "All" stands for "all" on its own.
    static const QMap<QString, QString>& typeSelections();

    explicit SelectTransformerViewController(QWidget* parent = nullptr);

    QWidget* viewController() override { return this; }
    TransformViewInfo transformViewInfo() override;
    void enableDynamicControls(bool enabled) override;
    void loadState(const TransformerProperties& properties) override;
    QWidget* patternField() override;
    void saveState(TransformerProperties& properties) override;

    QComboBox* typeSelector() const { return m_typeSelector; }
    QLineEdit* matchText() const { return m_matchText; }
    QLabel* matchLabel() const { return m_matchLabel; }

    void typeChanged();

private:
    void showhideMatchText();

    QComboBox* m_typeSelector;
    QLineEdit* m_matchText;
    QLabel* m_matchLabel;
    bool m_inputEnabled = true;
};
