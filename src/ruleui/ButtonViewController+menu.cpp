// SPDX-License-Identifier: GPL-3.0-or-later
#include "ruleui/ButtonViewController.h"

#include "ruleui/ButtonCollectionView.h"

#include <QAction>
#include <QMenu>

namespace {
struct MenuCommand {
    const char* selector;
    ButtonViewAction action;
};

constexpr MenuCommand MENU_COMMANDS[] = {
    { "addRenameAction:", ButtonViewAction::addRenameAction },
    { "deleteRenameAction:", ButtonViewAction::deleteRenameAction },
    { "delete:", ButtonViewAction::deleteRenameAction },
    { "clearRenamingActions:", ButtonViewAction::clearRenamingActions },
    { "selectTransformer:", ButtonViewAction::selectTransformer },
    { "selectNextTransformer:", ButtonViewAction::selectNextTransformer },
    { "selectPrecedingTransformer:", ButtonViewAction::selectPrecedingTransformer },
    { "moveRenameActionRight:", ButtonViewAction::moveRenameActionRight },
    { "moveRenameActionLeft:", ButtonViewAction::moveRenameActionLeft },
};

std::optional<ButtonViewAction> actionOf(const QString& selector)
{
    for (const MenuCommand& command : MENU_COMMANDS)
        if (selector == QLatin1String(command.selector))
            return command.action;
    return std::nullopt;
}

// A kind without an implementation in this build would only add a rule that refuses to run.
bool isAvailable(const QString& kind)
{
    const auto type = transformerTypeFromRawValue(kind);
    if (!type)
        return false;
    Transformer probe;
    probe.type = *type;
    return probe.transformer() != nullptr;
}
} // namespace

bool ButtonViewController::validateMenuItem(QAction* item) const
{
    if (!item)
        return false;
    const auto action = actionOf(item->property(MENU_SELECTOR_PROPERTY).toString());
    if (!action)
        return false;
    const QString kind = item->property(RULE_KIND_PROPERTY).toString();
    if (*action == ButtonViewAction::addRenameAction && !kind.isEmpty() && !isAvailable(kind))
        return false;
    const bool isTagged = item->data().isValid();
    return validateMenuItem(*action, isTagged ? item->data().toInt() : -1);
}

void ButtonViewController::selectTransformer(QObject* sender)
{
    auto* item = qobject_cast<QAction*>(sender);
    selectTransformer(item && item->data().isValid() ? item->data().toInt() : -1);
}

void ButtonViewController::showContextMenu(int index, const QPoint& globalPosition)
{
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->setAccessibleName(QStringLiteral("Rename action"));
    const auto add = [&](const QString& title, ButtonViewAction action, void (ButtonViewController::*command)(QObject*)) {
        QAction* item = menu->addAction(title, this, [this, command] { (this->*command)(nullptr); });
        item->setEnabled(validateMenuItem(action));
    };
    add(QStringLiteral("Move Left"), ButtonViewAction::moveRenameActionLeft, &ButtonViewController::moveRenameActionLeft);
    add(QStringLiteral("Move Right"), ButtonViewAction::moveRenameActionRight, &ButtonViewController::moveRenameActionRight);
    menu->addSeparator();
    add(QStringLiteral("Delete"), ButtonViewAction::deleteRenameAction, &ButtonViewController::deleteRenameAction);
    menu->popup(globalPosition);
}
