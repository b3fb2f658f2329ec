// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rules/TransformerProperties.h"

// A record with every field holding a value that the stored form keeps; the
// token texts hold `tokens`.
inline TransformerProperties everyPropertySet(const TokenString& tokens)
{
    TransformerProperties p;
    p.simpleFindText = "a"; p.simpleReplaceText = tokens; p.simpleCaseInsensitive = true; p.simpleWildcards = true;
    p.simpleFindFirst = true;
    p.regexFindText = TokenString::string("r+"); p.regexReplaceText = tokens; p.regexCaseInsensitive = true;
    p.regexFindFirst = true;
    p.insertFindText = "i"; p.insertFindWildcards = true; p.insertFindRegex = true; p.insertFindCaseInsensitive = true;
    p.insertFindFirst = true; p.insertText = tokens; p.insertPosition = "start"; p.insertOffset = -2;
    p.numberFindText = "n"; p.numberFindWildcards = true; p.numberFindRegex = true; p.numberFindCaseInsensitive = true;
    p.numberFindFirst = true; p.numberPosition = "end"; p.numberPositionOffset = 3; p.numberSeparatorText = "_";
    p.numberFormat = "hex"; p.numberDigits = 4; p.numberStart = 10; p.numberSkip = 2; p.numberRepeatCount = 1;
    p.numberResetCount = 5; p.numberResetEveryDirectoryChange = true; p.numberRandom = true; p.numberUpdateStart = true;
    p.conversionFindText = "c"; p.conversionFindWildcards = true; p.conversionFindRegex = true;
    p.conversionFindCaseInsensitive = true; p.conversionFindFirst = true; p.conversionType = ConversionType::lookup;
    p.conversionLookup = QList<QStringList> { { "a", "b" }, { "c", "d" } }; p.conversionLookupCaseInsensitive = true;
    p.conversionLookupAnchorStart = true; p.conversionLookupAnchorEnd = true;
    p.trimFindText = "t"; p.trimFindWildcards = true; p.trimFindRegex = true; p.trimFindCaseInsensitive = true;
    p.trimFindFirst = true; p.trimPosition = "start"; p.trimOffset = 1; p.trimCount = 2; p.trimMatch = "m";
    p.trimCharacters = " -"; p.trimLeadingTrailingSpaces = true;
    p.selectType = "matching"; p.selectMatch = "jpe?g";
    p.prefixFindText = "p"; p.prefixFindWildcards = true; p.prefixFindRegex = true; p.prefixFindCaseInsensitive = true;
    p.prefixFindFirst = true; p.prefixText = tokens;
    p.suffixFindText = "s"; p.suffixFindWildcards = true; p.suffixFindRegex = true; p.suffixFindCaseInsensitive = true;
    p.suffixFindFirst = true; p.suffixText = tokens;
    p.setFindText = "e"; p.setFindWildcards = true; p.setFindRegex = true; p.setFindCaseInsensitive = true;
    p.setText = tokens;
    return p;
}
