// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScriptedRun.h"

#include "core/AppNotification.h"
#include "core/DelayedUpdateWorker.h"
#include "core/DependencyInjectionRegistry.h"
#include "files/FileDataSource.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationQueue.h"
#include "rules/Transformers.h"
#include "ruleui/ButtonViewController.h"
#include "ruleui/FindTextTransformerViewController.h"
#include "ruleui/NumberingTransformerViewController.h"
#include "ruleui/TransformViewController.h"
#include "ruleui/TransformViewDialogController.h"
#include "uikit/IntegerField.h"
#include "tokenui/TokenTextFieldEditor.h"
#include "tokenui/TransformDialogTextField.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTimer>

#include "Palettes.h"

namespace {

constexpr int TICK_MS = 50;
constexpr int GIVE_UP_TICKS = 60 * 1000 / TICK_MS;
const QString FILE_NAME = QStringLiteral("Brackenfold/ScriptedRun");

template <typename T>
std::shared_ptr<T> lookUp()
{
    return DependencyInjectionRegistry::get<T>(FILE_NAME, QStringLiteral("step"), __LINE__);
}

FindTextTransformerViewController* shownFindTextEditor()
{
    const auto dialog = lookUp<TransformViewDialogController>();
    return dialog ? dynamic_cast<FindTextTransformerViewController*>(dialog->currentTransformerView()) : nullptr;
}

NumberingTransformerViewController* shownNumberingEditor()
{
    const auto dialog = lookUp<TransformViewDialogController>();
    return dialog ? dynamic_cast<NumberingTransformerViewController*>(dialog->currentTransformerView()) : nullptr;
}

void pressKey(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = QString())
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(widget, &press);
    QApplication::sendEvent(widget, &release);
}

// Key presses as the keyboard sends them, one character at a time.
void typeText(QWidget* widget, const QString& text)
{
    widget->setFocus(Qt::OtherFocusReason);
    for (const QChar character : text)
        pressKey(widget, character.toUpper().unicode(), Qt::NoModifier, QString(character));
}

// Replaces a field's text as a user does: select all, type, Return.
void typeOver(QWidget* widget, const QString& text)
{
    widget->setFocus(Qt::OtherFocusReason);
    pressKey(widget, Qt::Key_A, Qt::ControlModifier);
    typeText(widget, text);
    pressKey(widget, Qt::Key_Return);
}

void click(QWidget* widget)
{
    const QPointF centre = QRectF(widget->rect()).center();
    const QPointF global = widget->mapToGlobal(centre);
    QMouseEvent press(QEvent::MouseButtonPress, centre, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QApplication::sendEvent(widget, &release);
}

// Keys go to the focused control of the active window, as from a keyboard.
QWidget* keyTarget(QWidget* window)
{
    if (!window->isActiveWindow()) {
        window->activateWindow();
        // Without a window manager nothing activates the window.
        if (!window->isActiveWindow())
            QApplication::setActiveWindow(window);
    }
    QWidget* focus = QApplication::focusWidget();
    return focus ? focus : window;
}

} // namespace

void ScriptedRun::installFromEnvironment(QWidget* window)
{
    const QString path = qEnvironmentVariable("BRACKENFOLD_SCRIPT");
    if (path.isEmpty() || !window)
        return;
    auto* run = new ScriptedRun(window, window);
    if (!run->load(path)) {
        // Exit only once the event loop runs.
        QTimer::singleShot(0, run, [run, path] { run->fail(QStringLiteral("the script %1 cannot be read").arg(path)); });
        return;
    }
    QTimer::singleShot(TICK_MS, run, &ScriptedRun::tick);
}

ScriptedRun::ScriptedRun(QWidget* window, QObject* parent)
    : QObject(parent)
    , m_window(window)
{
    auto& center = NotificationCenter::defaultCenter();
    center.addObserver(this, NotificationName::applyChanges, [this](const Notification&) { ++m_applyChanges; });
    center.addObserver(this, NotificationName::validationResult,
        [this](const Notification&) { m_validatedAfterApply = m_applyChanges; });
    center.addObserver(this, NotificationName::disableUserInput, [this](const Notification&) { m_renameBlocked = true; });
    center.addObserver(this, NotificationName::enableUserInput,
        [this](const Notification&) { m_renameReleased = m_renameBlocked; });
}

bool ScriptedRun::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (const QString& raw : lines) {
        // Spaces after the verb's argument belong to it (a separator may be one).
        QString line = raw;
        while (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        while (!line.isEmpty() && line.front().isSpace())
            line.remove(0, 1);
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype space = line.indexOf(QLatin1Char(' '));
        const QString verb = space < 0 ? line : line.left(space);
        const QString argument = space < 0 ? QString() : line.mid(space + 1);
        if (!appendSteps(verb, argument)) {
            Log::error(Log::Category::ui, "Scripted run: unknown step %{public}s", line);
            return false;
        }
    }
    return true;
}

bool ScriptedRun::appendSteps(const QString& verb, const QString& argument)
{
    const QString name = verb + QLatin1Char(' ') + argument;
    if (verb == QLatin1String("wait-files")) {
        const int count = argument.toInt();
        m_steps.append({ name, [count] {
                            const auto files = lookUp<FileDataSource>();
                            return files && files->count() == count;
                        } });
    } else if (verb == QLatin1String("add-rule")) {
        const auto kind = transformerTypeFromRawValue(argument);
        if (!kind)
            return false;
        m_steps.append({ name, [] {
                            if (const auto bar = lookUp<TransformViewController>())
                                bar->buttonViewController()->addRenameAction();
                            return true;
                        } });
        // The editor shows the new rule once the rule list's update reaches it.
        m_steps.append({ name, [] {
                            const auto transformers = lookUp<Transformers>();
                            const auto dialog = lookUp<TransformViewDialogController>();
                            return transformers && dialog && dialog->isVisible()
                                && transformers->currentTransformerId() == dialog->currentTransformerId();
                        } });
        m_steps.append({ name, [this, kind] {
                            const auto dialog = lookUp<TransformViewDialogController>();
                            if (!dialog)
                                return false;
                            for (int i = 0; i < dialog->transformerViews().size(); ++i)
                                if (dialog->transformerViews().at(i)->transformViewInfo().transformerType == *kind) {
                                    dialog->typeSelector()->setCurrentIndex(i);
                                    dialog->typeSelectorChanged();
                                    return true;
                                }
                            fail(QStringLiteral("no editor for the kind"));
                            return false;
                        } });
    } else if (verb == QLatin1String("find-text") || verb == QLatin1String("replace-text")) {
        const bool find = verb == QLatin1String("find-text");
        m_steps.append({ name, [this, find, argument] {
                            FindTextTransformerViewController* editor = shownFindTextEditor();
                            if (!editor) {
                                fail(QStringLiteral("the shown editor has no find and text fields"));
                                return false;
                            }
                            typeText((find ? editor->findTextField() : editor->textField())->tokenTextFieldEditor(), argument);
                            return true;
                        } });
    } else if (verb == QLatin1String("number-digits") || verb == QLatin1String("number-separator")) {
        const bool digits = verb == QLatin1String("number-digits");
        m_steps.append({ name, [this, digits, argument] {
                            NumberingTransformerViewController* editor = shownNumberingEditor();
                            if (!editor) {
                                fail(QStringLiteral("the shown editor is not the Numbering editor"));
                                return false;
                            }
                            typeOver(digits ? static_cast<QWidget*>(editor->numberDigits()) : editor->numberSeparatorText(), argument);
                            return true;
                        } });
    } else if (verb == QLatin1String("wait-preview")) {
        m_steps.append({ name, [this] {
                            const auto bar = lookUp<TransformViewController>();
                            return bar && !DelayedUpdateWorker::isPending()
                                && NotificationQueue::defaultQueue().pendingCount() == 0 && m_applyChanges > 0
                                && m_validatedAfterApply == m_applyChanges && bar->renameButton()->isEnabled();
                        } });
    } else if (verb == QLatin1String("rename")) {
        m_steps.append({ name, [this] {
                            const auto bar = lookUp<TransformViewController>();
                            if (!bar || !bar->renameButton()->isEnabled()) {
                                fail(QStringLiteral("the Rename button is not enabled"));
                                return false;
                            }
                            m_renameBlocked = m_renameReleased = false;
                            click(bar->renameButton());
                            return true;
                        } });
    } else if (verb == QLatin1String("wait-rename")) {
        m_steps.append({ name, [this] { return m_renameReleased; } });
    } else if (verb == QLatin1String("key")) {
        const QKeySequence sequence(argument);
        if (sequence.isEmpty())
            return false;
        m_steps.append({ name, [this, sequence] {
                            QTest::keySequence(keyTarget(m_window), sequence);
                            return true;
                        } });
    } else if (verb == QLatin1String("type")) {
        m_steps.append({ name, [this, argument] {
                            QTest::keyClicks(keyTarget(m_window), argument);
                            return true;
                        } });
    } else if (verb == QLatin1String("tab-to")) {
        // One press a tick: fields move the focus after their key event.
        auto visited = std::make_shared<QStringList>();
        m_steps.append({ name, [this, argument, visited] {
                            QWidget* focus = keyTarget(m_window);
                            if (focus->accessibleName() == argument)
                                return true;
                            visited->append(QStringLiteral("%1 \"%2\"").arg(focus->metaObject()->className(), focus->accessibleName()));
                            if (visited->size() > 60) {
                                visited->removeDuplicates();
                                fail(QStringLiteral("Tab never reached \"%1\", only %2").arg(argument, visited->join(QStringLiteral(", "))));
                                return false;
                            }
                            QTest::keyClick(focus, Qt::Key_Tab);
                            return false;
                        } });
    } else if (verb == QLatin1String("expect-focus")) {
        // Waits until the control named `argument` has the keyboard focus.
        m_steps.append({ name, [argument] {
                            const QWidget* focus = QApplication::focusWidget();
                            return focus && focus->accessibleName() == argument;
                        } });
    } else if (verb == QLatin1String("expect-rules") || verb == QLatin1String("expect-current")) {
        const bool count = verb == QLatin1String("expect-rules");
        const int expected = argument.toInt();
        m_steps.append({ name, [count, expected] {
                            const auto transformers = lookUp<Transformers>();
                            if (!transformers)
                                return false;
                            const auto current = transformers->indexOf(transformers->currentTransformerId());
                            return count ? transformers->count() == expected : current && int(*current) == expected;
                        } });
    } else if (verb == QLatin1String("palette")) {
        const bool dark = argument == QLatin1String("dark");
        m_steps.append({ name, [dark] {
                            QApplication::setPalette(dark ? Palettes::dark() : QApplication::style()->standardPalette());
                            return true;
                        } });
    } else if (verb == QLatin1String("screenshot")) {
        m_steps.append({ name, [this, argument] {
                            if (m_window && m_window->grab().save(argument, "PNG"))
                                return true;
                            fail(QStringLiteral("the window picture cannot be written"));
                            return false;
                        } });
    } else if (verb == QLatin1String("quit")) {
        m_steps.append({ name, [] {
                            QApplication::exit(0);
                            return true;
                        } });
    } else {
        return false;
    }
    return true;
}

void ScriptedRun::tick()
{
    while (m_current < m_steps.size()) {
        const auto& [name, step] = m_steps.at(m_current);
        if (!step()) {
            if (++m_waitedTicks > GIVE_UP_TICKS)
                return fail(QStringLiteral("gave up waiting at \"%1\"").arg(name));
            QTimer::singleShot(TICK_MS, this, &ScriptedRun::tick);
            return;
        }
        Log::info(Log::Category::ui, "Scripted run: %{public}s", name);
        ++m_current;
        m_waitedTicks = 0;
        // Let the event loop deliver what the step started before the next one.
        QTimer::singleShot(TICK_MS, this, &ScriptedRun::tick);
        return;
    }
}

void ScriptedRun::fail(const QString& reason)
{
    Log::error(Log::Category::ui, "Scripted run failed: %{public}s", reason);
    m_current = int(m_steps.size());
    QApplication::exit(2);
}
