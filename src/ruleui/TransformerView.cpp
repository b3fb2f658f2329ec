#include "ruleui/TransformerView.h"

#include "core/AppNotification.h"
#include "ruleui/SegmentedControl.h"
#include "uikit/ViewTree.h"

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
