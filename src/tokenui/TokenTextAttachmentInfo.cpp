// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokenui/TokenTextAttachmentInfo.h"

TokenAttributeViewKind tokenAttributeViewKind(const TokenItem& tokenItem)
{
    if (tokenItem.isDateAttribute())
        return TokenAttributeViewKind::date;
    if (tokenItem.isGPSAttribute())
        return TokenAttributeViewKind::gps;
    if (tokenItem.type == TokenType::REGEX)
        return TokenAttributeViewKind::regex;
    if (tokenItem.isNumberAttribute())
        return TokenAttributeViewKind::number;
    return TokenAttributeViewKind::string;
}
