// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tokens/TokenItem.h"

#include <QPointer>
#include <QRectF>
#include <QWidget>

// The chip being edited in a popover: where it sits and what it holds.
struct TokenTextAttachmentInfo {
    QPointer<QWidget> controlView;
    TokenItem tokenItem;
    int location = 0;
    int length = 1;
    QRectF frame;
};

// The popover that edits a chip of this kind of token.
enum class TokenAttributeViewKind { date, gps, regex, number, string };

TokenAttributeViewKind tokenAttributeViewKind(const TokenItem& tokenItem);
