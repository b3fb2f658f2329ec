// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ruleui/TransformerView.h"

#include <QWidget>

class QPushButton;

// The Regular Expression editor: the expression (literal text and builder
// tokens), its replacement (a token text) and two options.
class RegexTransformerViewController : public QWidget, public TransformerView {
    Q_OBJECT
public:
    explicit RegexTransformerViewController(QWidget* parent = nullptr);

    QWidget* viewController() override { return this; }
    TransformViewInfo transformViewInfo() override;
    void loadState(const TransformerProperties& properties) override;
    void saveState(TransformerProperties& properties) override;
    TransformDialogTextField* insertTokenField() override { return m_regexReplaceText; }
    QWidget* patternField() override;

    TransformDialogTextField* regexFindText() const { return m_regexFindText; }
    SegmentedControl* regexFindOptions() const { return m_regexFindOptions; }
    TransformDialogTextField* regexReplaceText() const { return m_regexReplaceText; }
    QPushButton* addAttributeButton() const { return m_addAttributeButton; }
    QPushButton* addRegexButton() const { return m_addRegexButton; }

    // Puts a new builder token into the expression: at the caret while the
    // field is edited (in front of a selection, which stays), else at the end.
    void addRegexButtonAction();

private:
    TransformDialogTextField* m_regexFindText;
    SegmentedControl* m_regexFindOptions;
    TransformDialogTextField* m_regexReplaceText;
    QPushButton* m_addAttributeButton;
    QPushButton* m_addRegexButton;
};
