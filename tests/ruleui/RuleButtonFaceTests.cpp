// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/Transformer.h"
#include "ruleui/ButtonCollectionViewItem.h"
#include "uikit/ButtonImageView.h"

#include <gtest/gtest.h>

namespace {

// The item feeds its painted face; the face speaks for it to screen readers.
TEST(RuleButtonFace, theItemFeedsItsPaintedFace)
{
    ButtonCollectionViewItem item;
    item.resize(item.sizeHint());
    item.show();
    ButtonImageView* face = item.buttonImageView();
    ASSERT_TRUE(face);
    EXPECT_EQ(face->geometry(), item.rect()) << "the face fills the item";

    Transformer rule = Transformer::newTransformer();
    rule.disabled = true;
    item.setTransformer(rule);
    item.setLabel(QStringLiteral("Insert"));
    item.setSubLabel(QStringLiteral("Path"));
    item.setSelected(true);
    EXPECT_EQ(face->buttonStyle(), ButtonStyle::selectedDisabled);
    EXPECT_EQ(face->accessibilityDescription(), QStringLiteral("Insert:Path:selectedDisabled"));
    EXPECT_EQ(face->accessibleName(), QStringLiteral("Insert, Path, selected, disabled"));
    EXPECT_EQ(face->labelColor(), QColor(Qt::white));
    ASSERT_TRUE(face->subLabelColor());
    EXPECT_NEAR(face->subLabelColor()->alphaF(), 0.8, 0.01);

    item.prepareForReuse();
    EXPECT_EQ(face->buttonStyle(), ButtonStyle::none);
    EXPECT_EQ(face->label(), QString());

    ButtonCollectionViewItem add;
    add.setStyle(ButtonStyle::add);
    EXPECT_EQ(add.buttonImageView()->buttonStyle(), ButtonStyle::add);
    EXPECT_EQ(add.buttonImageView()->label(), QStringLiteral("Add"));
}

} // namespace
