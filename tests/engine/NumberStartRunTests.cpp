// SPDX-License-Identifier: GPL-3.0-or-later
#include "RunTestSupport.h"

// A Numbering rule with "update start" goes on after a rename run from where
// the run's numbering ended; a run that renamed nothing leaves it alone.
class NumberStartRunTest : public EngineRunTest {
protected:
    void SetUp() override
    {
        EngineRunTest::SetUp();
        listFiles({ QStringLiteral("a.txt"), QStringLiteral("b.txt"), QStringLiteral("c.txt") });
        TestEnvironment::drainEvents();
    }

    static Transformer numberingRule()
    {
        Transformer rule = Transformer::newTransformer();
        rule.type = TransformerType::numbering;
        rule.properties.numberStart = 5;
        rule.properties.numberSkip = 10;
        rule.properties.numberSeparatorText = QStringLiteral("_");
        rule.properties.numberUpdateStart = true;
        return rule;
    }
    // Takes the number off again, so the names stay as they are.
    static Transformer removeNumberRule()
    {
        Transformer rule = Transformer::newTransformer();
        rule.type = TransformerType::regex;
        rule.properties.regexFindText = TokenString::string(QStringLiteral("_\\d+$"));
        return rule;
    }
    std::optional<qint64> numberStart(const QString& id) const
    {
        const std::optional<Transformer> rule = transformers->transformer(id);
        return rule ? rule->properties.numberStart : std::nullopt;
    }
};

TEST_F(NumberStartRunTest, ARenameRunWritesTheNextStartBack)
{
    const Transformer numbering = numberingRule();
    Transformer plain = numberingRule();
    plain.properties.numberUpdateStart = false;
    setRules({ numbering, plain });
    runRename();

    EXPECT_EQ(entries(), QStringList({ QStringLiteral("a_5_5.txt"), QStringLiteral("b_15_15.txt"),
                             QStringLiteral("c_25_25.txt") }));
    EXPECT_EQ(numberStart(numbering.id), 35);
    EXPECT_EQ(numberStart(plain.id), 5);

    // The next run numbers on from there.
    runPreview();
    EXPECT_EQ(newNames(), QStringList({ QStringLiteral("a_5_5_35_5.txt"), QStringLiteral("b_15_15_45_15.txt"),
                              QStringLiteral("c_25_25_55_25.txt") }));
}

TEST_F(NumberStartRunTest, ARunThatRenamedNothingKeepsTheStart)
{
    const Transformer numbering = numberingRule();
    setRules({ numbering, removeNumberRule() });
    runRename();

    EXPECT_EQ(entries(), QStringList({ QStringLiteral("a.txt"), QStringLiteral("b.txt"), QStringLiteral("c.txt") }));
    EXPECT_EQ(numberStart(numbering.id), 5);
}
