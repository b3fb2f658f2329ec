#include "ruleui/TransformViewDialogController.h"

#include "core/AppNotification+Typed.h"
#include "ruleui/TransformerView.h"
#include "tokenui/TransformDialogTextField.h"

// A catalog token asked for by the file inspector or the token panel goes at
// the end of the shown editor's token field, and the rule is saved. The
// clipboard is left as the user left it.
void TransformViewDialogController::insertTokenEvent(const Notification& notification)
{
    TransformerView* view = currentTransformerView();
    TransformDialogTextField* field = view ? view->insertTokenField() : nullptr;
    const std::optional<QString> tokenId = AppNotification::InsertToken::get(notification);
    if (!field || !tokenId || tokenId->isEmpty())
        return;
    field->setTokenString(field->tokenString() + TokenItem::attribute(*tokenId));
    transformButtonSaveEvent();
}
