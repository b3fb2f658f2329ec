// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppTestSupport.h"
#include "rules/Transformers.h"
#include "ruleui/TransformViewDialogController.h"
#include "ruleui/TransformerView.h"
#include "tokenui/TokenTextFieldEditor.h"
#include "tokenui/TransformDialogTextField.h"

#include <QApplication>
#include <QComboBox>

#include <QAbstractButton>
#include <QAccessible>
#include <QTest>

namespace {

// The controls a user works: each needs a name a screen reader can say.
bool isControl(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::SpinBox:
    case QAccessible::Slider:
    case QAccessible::Table:
    case QAccessible::List:
    case QAccessible::Tree:
    case QAccessible::PageTabList:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::ProgressBar:
        return true;
    default:
        return false;
    }
}

// Every shown control below `node` without a name, as "Role (class)".
void collectUnnamed(QAccessibleInterface* node, QStringList& unnamed, int depth = 0)
{
    if (!node || depth > 40 || node->state().invisible)
        return;
    const QAccessible::Role role = node->role();
    // Rows and cells of the table name themselves from their content.
    if (role == QAccessible::Row || role == QAccessible::Cell || role == QAccessible::ColumnHeader
        || role == QAccessible::RowHeader || role == QAccessible::MenuBar)
        return;
    if (isControl(role) && node->text(QAccessible::Name).trimmed().isEmpty()) {
        const QObject* object = node->object();
        unnamed << QStringLiteral("%1 (%2 %3)")
                       .arg(int(role))
                       .arg(object ? object->metaObject()->className() : "?")
                       .arg(object ? object->objectName() : QString());
    }
    // A button labelled by an icon, a sign or a short word says what it does in a tool tip.
    if (const auto* button = qobject_cast<const QAbstractButton*>(node->object())) {
        const QString label = QString(button->text()).remove(QLatin1Char('&'));
        static const QStringList shortWords { "Wildcards", "RegEx", "Case", "First" };
        if ((label.size() <= 2 || shortWords.contains(label)) && button->toolTip().isEmpty())
            unnamed << QStringLiteral("no tool tip on \"%1\" (%2)").arg(label, button->accessibleName());
    }
    for (int i = 0; i < node->childCount(); ++i)
        collectUnnamed(node->child(i), unnamed, depth + 1);
}

// Every control below `view` that takes the focus, as a screen reader meets
// it: without a name or with no role of its own, as "class name: problem".
QStringList focusableWithoutNameOrRole(QWidget* view)
{
    QStringList faults;
    QList<QWidget*> widgets = view->findChildren<QWidget*>();
    widgets.prepend(view);
    for (QWidget* widget : std::as_const(widgets)) {
        // A field whose inner editor takes its focus is named on that editor.
        if (widget->focusPolicy() == Qt::NoFocus || widget->focusProxy() || !widget->isVisibleTo(view->window()))
            continue;
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        const QString label = QStringLiteral("%1 %2").arg(widget->metaObject()->className(), widget->objectName());
        if (!accessible) {
            faults << label + QStringLiteral(": no accessible interface");
            continue;
        }
        if (accessible->text(QAccessible::Name).trimmed().isEmpty())
            faults << label + QStringLiteral(": no name");
        if (accessible->role() == QAccessible::Client || accessible->role() == QAccessible::NoRole)
            faults << label + QStringLiteral(": no role (\"%1\")").arg(accessible->text(QAccessible::Name));
    }
    return faults;
}

} // namespace

class AccessibilityTest : public AppTest { };

TEST_F(AccessibilityTest, EveryControlOfTheWindowHasAName)
{
    makeWindow();
    if (const auto transformers = DependencyInjectionRegistry::get<Transformers>("test", "test", 0))
        transformers->reset();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    TestEnvironment::drainEvents();
    QAccessibleInterface* root = QAccessible::queryAccessibleInterface(window.get());
    ASSERT_NE(root, nullptr);
    QStringList unnamed;
    collectUnnamed(root, unnamed);
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(QLatin1Char('\n')).toStdString();
}

TEST_F(AccessibilityTest, EveryFocusableControlOfEveryEditorHasANameAndARole)
{
    makeWindow();
    const auto transformers = DependencyInjectionRegistry::get<Transformers>("test", "test", 0);
    const auto dialog = DependencyInjectionRegistry::get<TransformViewDialogController>("test", "test", 0);
    ASSERT_TRUE(transformers && dialog);
    Transformer rule = Transformer::newTransformer();
    transformers->load({ rule });
    transformers->selectTransformerAt(0);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    TestEnvironment::drainEvents();
    for (int kind = 0; kind < dialog->transformerViews().size(); ++kind) {
        dialog->typeSelector()->setCurrentIndex(kind);
        dialog->typeSelectorChanged();
        TestEnvironment::drainEvents();
        const QStringList faults = focusableWithoutNameOrRole(window.get());
        EXPECT_TRUE(faults.isEmpty()) << dialog->typeSelector()->itemText(kind).toStdString() << ":\n"
                                      << faults.join(QLatin1Char('\n')).toStdString();
    }
}

TEST_F(AccessibilityTest, EveryTokenPopoverIsInTheTreeWhileShownWithNamedControls)
{
    makeWindow();
    const auto transformers = DependencyInjectionRegistry::get<Transformers>("test", "test", 0);
    const auto dialog = DependencyInjectionRegistry::get<TransformViewDialogController>("test", "test", 0);
    ASSERT_TRUE(transformers && dialog);
    Transformer rule = Transformer::newTransformer();
    rule.type = TransformerType::regex;
    transformers->load({ rule });
    transformers->selectTransformerAt(0);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    TestEnvironment::drainEvents();
    auto* regexEditor = dialog->currentTransformerView();
    ASSERT_NE(regexEditor, nullptr);
    TransformDialogTextField* field = regexEditor->insertTokenField();
    ASSERT_NE(field, nullptr);
    field->setSupportedTokenTypes({ TokenType::STRING, TokenType::ATTRIBUTE, TokenType::REGEX });

    struct Case {
        const char* name;
        TokenItem item;
    };
    const Case cases[] = {
        { "date", TokenItem::attribute(QStringLiteral("date-modified")) },
        { "GPS", TokenItem::attribute(QStringLiteral("{GPS}.Latitude")) },
        { "text", TokenItem::attribute(QStringLiteral("kind")) },
        { "number", TokenItem::attribute(QStringLiteral("media-width")) },
        { "regular expression", TokenItem(TokenType::REGEX, QStringLiteral("regex")) },
    };
    QAccessibleInterface* application = QAccessible::queryAccessibleInterface(qApp);
    ASSERT_NE(application, nullptr);
    const auto topLevelsInTree = [&] {
        QList<QObject*> objects;
        for (int i = 0; i < application->childCount(); ++i)
            if (QAccessibleInterface* child = application->child(i))
                objects << child->object();
        return objects;
    };
    for (const Case& c : cases) {
        field->setTokenString(TokenString(c.item));
        ASSERT_TRUE(field->tokenTextFieldEditor()->editChip(0)) << c.name;
        QWidget* popover = QApplication::activePopupWidget();
        ASSERT_NE(popover, nullptr) << c.name;
        EXPECT_TRUE(topLevelsInTree().contains(popover)) << c.name << ": the shown popover is not in the tree";
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(popover);
        ASSERT_NE(accessible, nullptr);
        EXPECT_FALSE(accessible->text(QAccessible::Name).isEmpty()) << c.name;
        const QStringList faults = focusableWithoutNameOrRole(popover);
        EXPECT_TRUE(faults.isEmpty()) << c.name << ":\n" << faults.join(QLatin1Char('\n')).toStdString();
        popover->close();
        TestEnvironment::drainEvents();
        EXPECT_FALSE(topLevelsInTree().contains(popover)) << c.name << ": a closed popover stays in the tree";
    }
}
