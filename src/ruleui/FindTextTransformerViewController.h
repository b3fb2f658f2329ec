// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ruleui/TransformerView.h"

#include <QList>
#include <QWidget>

class QGridLayout;
class QPushButton;
class SegmentedControl;
class TransformDialogTextField;

// The design shared by the find-and-text editors: a plain find text with its
// find options, and a token text to write.
class FindTextTransformerViewController : public QWidget, public TransformerView {
    Q_OBJECT
public:
    using Flag = std::optional<bool> TransformerProperties::*;
    struct Segment {
        QString label;
        Flag field;
        bool inverted = false;   // the segment shows the opposite of the stored flag
        bool shownWhenAbsent = false;
    };
    struct Config {
        TransformerType type;
        QString buttonLabel;
        QString selectorLabel;
        std::optional<QString> TransformerProperties::*findText;
        std::optional<TokenString> TransformerProperties::*text;
        QList<Segment> segments;
        // Wildcards and regular expression exclude each other.
        bool exclusiveFindModes = true;
    };

    FindTextTransformerViewController(Config config, QWidget* parent = nullptr);

    QWidget* viewController() override { return this; }
    TransformViewInfo transformViewInfo() override;
    void loadState(const TransformerProperties& properties) override;
    void saveState(TransformerProperties& properties) override;
    TransformDialogTextField* insertTokenField() override { return m_text; }
    QWidget* patternField() override;

    TransformDialogTextField* findTextField() const { return m_findText; }
    SegmentedControl* findOptions() const { return m_findOptions; }
    TransformDialogTextField* textField() const { return m_text; }
    QPushButton* addAttributeButton() const { return m_addAttributeButton; }

protected:
    QGridLayout* m_layout;

private:
    void describeControls();
    Config m_config;
    TransformDialogTextField* m_findText;
    SegmentedControl* m_findOptions;
    TransformDialogTextField* m_text;
    QPushButton* m_addAttributeButton;
};

class SimpleTransformerViewController : public FindTextTransformerViewController {
    Q_OBJECT
public:
    explicit SimpleTransformerViewController(QWidget* parent = nullptr);
};

class PrefixTransformerViewController : public FindTextTransformerViewController {
    Q_OBJECT
public:
    explicit PrefixTransformerViewController(QWidget* parent = nullptr);
};

class SuffixTransformerViewController : public FindTextTransformerViewController {
    Q_OBJECT
public:
    explicit SuffixTransformerViewController(QWidget* parent = nullptr);
};

class SetTransformerViewController : public FindTextTransformerViewController {
    Q_OBJECT
public:
    explicit SetTransformerViewController(QWidget* parent = nullptr);
};
