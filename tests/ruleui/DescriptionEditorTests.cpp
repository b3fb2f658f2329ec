// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestEnvironment.h"
#include "NotificationRecorder.h"

#include "core/AppNotification.h"
#include "platform/MainWindowLocator.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationQueue.h"
#include "platform/UndoManager.h"
#include "rules/Transformers.h"
#include "ruleui/DescriptionEditView.h"
#include "ruleui/TransformViewDialogController.h"
#include "uikit/AppStyle.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

namespace {

enum class Closing { returnKey, binButton, clickOutside };

void closePopover(DescriptionEditView* view, Closing closing)
{
    switch (closing) {
    case Closing::returnKey:
        QTest::keyClick(view->tooltipTextField(), Qt::Key_Return);
        break;
    case Closing::binButton:
        view->binButton()->click();
        break;
    case Closing::clickOutside:
        QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(view->width() + 40, view->height() + 40));
        break;
    }
}

// Shown and given the keyboard, as after the description button's press.
void present(DescriptionEditView* view)
{
    view->show();
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return view->tooltipTextField()->hasFocus(); }));
    TestEnvironment::drainEvents();
}

TEST(DescriptionEditView, opensWithTheCaretAfterTheDescription)
{
    QPointer<DescriptionEditView> view = new DescriptionEditView(QStringLiteral("Finds a text."), QStringLiteral("abc"), {});
    present(view);
    EXPECT_EQ(view->tooltipTextField()->text(), QStringLiteral("abc"));
    EXPECT_EQ(view->tooltipTextField()->cursorPosition(), 3);
    EXPECT_FALSE(view->tooltipTextField()->hasSelectedText());
    EXPECT_EQ(view->helpTextField()->text(), QStringLiteral("Finds a text."));
    view->close();
    TestEnvironment::drainEvents();
    EXPECT_TRUE(view.isNull()) << "released once closed";
}

TEST(DescriptionEditView, showsTheWholeHelpTextBesideItsButton)
{
    QWidget anchorWindow;
    auto* anchor = new QWidget(&anchorWindow);
    anchor->setGeometry(10, 10, 20, 20);
    anchorWindow.show();
    QString help;
    for (int i = 0; i < 12; ++i)
        help += QStringLiteral("Replaces the found text with the new text, token by token. ");
    QPointer<DescriptionEditView> view = new DescriptionEditView(help, QString(), {});
    view->presentBeside(anchor);
    TestEnvironment::drainEvents();
    QLabel* label = view->helpTextField();
    EXPECT_GE(label->height(), label->heightForWidth(label->width())) << "no line of the help text is cut";
    view->close();
    TestEnvironment::drainEvents();
}

struct ClosingCase {
    const char* name;
    Closing closing;
    QString handedBack;
};

// Typed text reaches the handler only through Return; the bin hands back the empty text.
TEST(DescriptionEditView, closingHandsTheDescriptionToTheHandlerOnce)
{
    const QList<ClosingCase> cases {
        { "Return", Closing::returnKey, QStringLiteral("abc new") },
        { "bin", Closing::binButton, QString() },
        { "click outside", Closing::clickOutside, QStringLiteral("abc") },
    };
    for (const ClosingCase& c : cases) {
        QStringList received;
        QPointer<DescriptionEditView> view = new DescriptionEditView(
            QString(), QStringLiteral("abc"), [&](const QString& text) { received << text; });
        present(view);
        QTest::keyClicks(view->tooltipTextField(), QStringLiteral(" new"));
        closePopover(view, c.closing);
        TestEnvironment::drainEvents();
        EXPECT_EQ(received, QStringList { c.handedBack }) << c.name;
        EXPECT_TRUE(view.isNull()) << c.name;
    }
}

// The share of the icon's pixels in the accent colour: the filled symbol's disc.
double accentShare(const QToolButton* button)
{
    const QImage image = button->icon().pixmap(QSize(18, 18)).toImage();
    const QColor accent = AppStyle::accentColor();
    int matching = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            matching += c.alpha() > 200 && std::abs(c.red() - accent.red()) < 8 && std::abs(c.green() - accent.green()) < 8
                    && std::abs(c.blue() - accent.blue()) < 8
                ? 1
                : 0;
        }
    return double(matching) / (image.width() * image.height());
}

class DescriptionButton : public ::testing::Test {
protected:
    void SetUp() override
    {
        undoManager.setGroupsByEvent(false);
        MainWindowLocator::setUndoManager(&undoManager);
        dialog = std::make_unique<TransformViewDialogController>(&transformers);
    }
    void TearDown() override
    {
        TestEnvironment::processEventsUntil([] { return NotificationQueue::defaultQueue().pendingCount() == 0; });
        MainWindowLocator::setUndoManager(nullptr);
    }
    QString addRule(TransformerType type, const std::optional<QString>& description = std::nullopt)
    {
        Transformer rule = Transformer::newTransformer();
        rule.type = type;
        rule.description = description;
        rule.needsInitialSave = false;
        transformers.insert(rule, transformers.count());
        return rule.id;
    }
    void select(const QString& id)
    {
        transformers.selectTransformer(id);
        NotificationCenter::defaultCenter().post({ NotificationName::transformButtonUpdated });
    }
    DescriptionEditView* openPopover()
    {
        dialog->descriptionButton()->click();
        DescriptionEditView* view = dialog->descriptionEditView();
        if (view)
            present(view);
        return view;
    }

    Transformers transformers;
    UndoManager undoManager;
    std::unique_ptr<TransformViewDialogController> dialog;
};

TEST_F(DescriptionButton, theIconShowsWhetherTheRuleHasADescription)
{
    select(addRule(TransformerType::prefix));
    EXPECT_EQ(accentShare(dialog->descriptionButton()), 0.0);
    select(addRule(TransformerType::prefix, QStringLiteral("with text")));
    EXPECT_GT(accentShare(dialog->descriptionButton()), 0.2);
}

struct EditCase {
    const char* name;
    std::optional<QString> before;
    Closing closing;
    QString typed;
    std::optional<QString> after;
};

TEST_F(DescriptionButton, anEditedDescriptionIsOneUndoableStep)
{
    const QList<EditCase> cases {
        { "new text", std::nullopt, Closing::returnKey, QStringLiteral("Holiday"), QStringLiteral("Holiday") },
        { "bin", QStringLiteral("old"), Closing::binButton, QString(), QString() },
    };
    for (const EditCase& c : cases) {
        const QString id = addRule(TransformerType::suffix, c.before);
        select(id);
        const int undoSteps = undoManager.undoCount();
        NotificationRecorder recorder({ NotificationName::transformButtonUpdated });
        DescriptionEditView* view = openPopover();
        ASSERT_NE(view, nullptr) << c.name;
        EXPECT_EQ(view->helpTextField()->text(), transformers.transformer(id)->transformer()->helpText()) << c.name;
        QTest::keyClicks(view->tooltipTextField(), c.typed);
        closePopover(view, c.closing);
        ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return recorder.count(NotificationName::transformButtonUpdated) > 0; }))
            << c.name;
        TestEnvironment::drainEvents();
        EXPECT_EQ(transformers.transformer(id)->description, c.after) << c.name;
        EXPECT_EQ(transformers.transformer(id)->type, TransformerType::suffix) << c.name;
        EXPECT_EQ(undoManager.undoCount(), undoSteps + 1) << c.name;
        EXPECT_EQ(undoManager.undoActionName(), QStringLiteral("Update Rename Action")) << c.name;
        EXPECT_EQ(accentShare(dialog->descriptionButton()) > 0, !c.after->isEmpty()) << c.name;

        undoManager.undo();
        TestEnvironment::drainEvents();
        EXPECT_EQ(transformers.transformer(id)->description, c.before) << c.name;
    }
}

TEST_F(DescriptionButton, anUnchangedDescriptionSavesNothing)
{
    select(addRule(TransformerType::prefix, QStringLiteral("same")));
    dialog->transformButtonSaveEvent(); // the editors' defaults of the fresh rule
    const int undoSteps = undoManager.undoCount();
    NotificationRecorder recorder({ NotificationName::transformButtonUpdated });
    closePopover(openPopover(), Closing::clickOutside);
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return recorder.count(NotificationName::transformButtonUpdated) > 0; }));
    EXPECT_EQ(undoManager.undoCount(), undoSteps);
}

TEST_F(DescriptionButton, withoutACurrentRuleNoPopoverOpens)
{
    dialog->descriptionButton()->click();
    EXPECT_EQ(dialog->descriptionEditView(), nullptr);
}

// The click that closes the popover may select another rule before the
// description is saved: the text still goes to its own rule, and the other
// rule's settings, now in the editors, stay out of it.
TEST_F(DescriptionButton, aRuleShownBeforeTheSaveKeepsItsOwnSettings)
{
    const QString a = addRule(TransformerType::prefix);
    const QString b = addRule(TransformerType::numbering, QStringLiteral("b's"));
    select(a);
    DescriptionEditView* view = openPopover();
    ASSERT_NE(view, nullptr);
    QTest::keyClicks(view->tooltipTextField(), QStringLiteral("for a"));
    closePopover(view, Closing::returnKey);
    select(b);
    TestEnvironment::drainEvents();
    EXPECT_EQ(transformers.transformer(a)->description, QStringLiteral("for a"));
    EXPECT_EQ(transformers.transformer(a)->type, TransformerType::prefix);
    EXPECT_EQ(transformers.transformer(b)->description, QStringLiteral("b's"));
    EXPECT_EQ(dialog->typeSelector()->currentText(), QStringLiteral("Numbering"));
}

} // namespace
