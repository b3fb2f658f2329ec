// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/CanonicalText.h"

#include <gtest/gtest.h>

// Names compare equal when they are canonically equivalent; the quick answer for
// texts below the combining marks must agree with the full comparison.
TEST(CanonicalTextTest, EqualMeansCanonicallyEquivalent)
{
    const struct {
        QString a;
        QString b;
        bool equal;
    } cases[] = {
        { "", "", true },
        { "report.txt", "report.txt", true },
        { "report.txt", "Report.txt", false },          // case counts
        { "abc", "abd", false },
        { "caf\u00E9", "cafe\u0301", true },            // composed against decomposed
        { "\u00C5ngstr\u00F6m", "A\u030Angstro\u0308m", true },
        { "\u212B", "\u00C5", true },                   // the Angstrom sign is the letter
        { "\u00E9", "e", false },
        { "e\u0301", "e", false },
        { "\u00FF", "y\u0308", true },                  // the last letter below U+0300
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.a.toStdString() + " / " + c.b.toStdString());
        EXPECT_EQ(CanonicalText::equal(c.a, c.b), c.equal);
        EXPECT_EQ(CanonicalText::equal(c.b, c.a), c.equal);
    }
    EXPECT_EQ(CanonicalText::nfc("cafe\u0301"), "caf\u00E9");
    EXPECT_EQ(CanonicalText::nfc("plain name"), "plain name");
}
