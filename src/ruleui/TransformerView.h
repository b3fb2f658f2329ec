// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rules/TransformerProperties.h"
#include "rules/TransformerType.h"

#include <QString>
#include <QStringList>

class QWidget;
class SegmentedControl;
class TransformDialogTextField;

// An editor view's descriptor: the kind it edits, its labels and the editor.
struct TransformViewInfo {
    TransformerType transformerType;
    QString buttonLabel;
    QString selectorLabel;
    QWidget* controller = nullptr;
};

// The editor of one rule kind's settings. The rule editor loads every editor
// with every rule and saves all of them into one copy of the settings; each
// writes only its own kind's fields.
class TransformerView {
public:
    virtual ~TransformerView() = default;

    virtual QWidget* viewController() = 0;
    virtual TransformViewInfo transformViewInfo() = 0;
    // Enables or greys every input control of the editor, then lets the
    // editor re-apply its own dependent enabling.
    void enableControls(bool enabled);
    virtual void enableDynamicControls(bool) {}
    virtual void loadState(const TransformerProperties& properties) = 0;
    virtual void saveState(TransformerProperties& properties) = 0;
    // The field that takes a token inserted from the token panel.
    virtual TransformDialogTextField* insertTokenField() { return nullptr; }
    // The field holding the text the rule finds, where a pattern that does
    // not compile is shown as invalid.
    virtual QWidget* patternField() { return nullptr; }
};

// The find options shared by the editors.
namespace FindOptions {
using Flag = std::optional<bool> TransformerProperties::*;
// The four find options of a rule kind: wildcards, regular expression,
// case-insensitive (shown inverted, as case-sensitive) and first match only.
struct Fields {
    Flag wildcards;
    Flag regex;
    Flag caseInsensitive;
    Flag findFirst;
};
const QStringList& segmentLabels();
// What the wildcards of a find text match, as their tool tip says it.
QString wildcardsToolTip();
// The four segments, each with its tool tip and accessible name.
SegmentedControl* makeControl(QWidget* parent);
// Absent flags show wildcards on, regular expression off, case-sensitive off
// and first match on.
void load(SegmentedControl* control, const TransformerProperties& properties, const Fields& fields);
void save(const SegmentedControl* control, TransformerProperties& properties, const Fields& fields);

// Wildcards (0) and regular expression (1) exclude each other: the segment
// just clicked wins. Then the rule is saved.
void findOptionsChanged(SegmentedControl* control, int clickedSegment);
// An absent flag shows its default.
bool shown(const std::optional<bool>& flag, bool whenAbsent);
void postSave();
void postToggleTokenPanel();
} // namespace FindOptions
