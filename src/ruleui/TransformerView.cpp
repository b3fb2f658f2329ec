// SPDX-License-Identifier: GPL-3.0-or-later
#include "ruleui/TransformerView.h"

#include "core/AppNotification.h"
#include "ruleui/SegmentedControl.h"
#include "uikit/ViewTree.h"
#include "uikit/ViewUtil.h"

#include <QToolButton>

#include <QWidget>

void TransformerView::enableControls(bool enabled)
{
    QWidget* view = transformViewInfo().controller;
    if (!view)
        return;
    for (QWidget* control : ViewTree::controls(view)) {
        control->setEnabled(enabled);
    }
    enableDynamicControls(enabled);
}

namespace FindOptions {

void findOptionsChanged(SegmentedControl* control, int clickedSegment)
{
    if (clickedSegment == 0 || clickedSegment == 1) {
        const int other = clickedSegment == 0 ? 1 : 0;
        if (control->isSelected(clickedSegment) && control->isSelected(other))
            control->setSelected(other, false);
    }
    postSave();
}

const QStringList& segmentLabels()
{
    static const QStringList labels { QStringLiteral("Wildcards"), QStringLiteral("RegEx"), QStringLiteral("Case"),
        QStringLiteral("First") };
    return labels;
}

QString wildcardsToolTip()
{
    return QStringLiteral("Find with wildcards: * any text within a name, ** any text across \"/\", "
                          "# a number (one or more digits); every other character, ? included, stands for itself");
}

SegmentedControl* makeControl(QWidget* parent)
{
    auto* control = new SegmentedControl(segmentLabels(), SegmentedControl::Mode::selectAny, parent);
    ViewUtil::describe(control, QStringLiteral("Find options"));
    const QStringList tips { wildcardsToolTip(),
        QStringLiteral("The find text is a regular expression"), QStringLiteral("Case-sensitive find"),
        QStringLiteral("First match only") };
    for (int i = 0; i < control->segmentCount(); ++i)
        ViewUtil::describe(control->segment(i), segmentLabels().at(i), tips.at(i));
    return control;
}

void load(SegmentedControl* control, const TransformerProperties& p, const Fields& fields)
{
    control->setSelected(0, shown(p.*fields.wildcards, true));
    control->setSelected(1, shown(p.*fields.regex, false));
    control->setSelected(2, !shown(p.*fields.caseInsensitive, true));
    control->setSelected(3, shown(p.*fields.findFirst, true));
}

void save(const SegmentedControl* control, TransformerProperties& p, const Fields& fields)
{
    p.*fields.wildcards = control->isSelected(0);
    p.*fields.regex = control->isSelected(1);
    p.*fields.caseInsensitive = !control->isSelected(2);
    p.*fields.findFirst = control->isSelected(3);
}

bool shown(const std::optional<bool>& flag, bool whenAbsent)
{
    return flag.value_or(whenAbsent);
}

void postSave()
{
    AppNotification::post(NotificationName::transformButtonSave, {}, std::nullopt, QStringLiteral("stateChanged(_:)"));
}

void postToggleTokenPanel()
{
    AppNotification::post(NotificationName::toggleTokenAttributePanel, {}, std::nullopt,
        QStringLiteral("addAttributeButtonAction(_:)"));
}

} // namespace FindOptions
