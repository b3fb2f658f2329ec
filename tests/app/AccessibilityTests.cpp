#include "AppTestSupport.h"
#include "rules/Transformers.h"

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
