// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainWindow.h"

#include "files/FileDataSource.h"
#include "uikit/AccessiblePopups.h"
#include "app/MainMenu.h"
#include "app/RecipeChangesAlert.h"
#include "app/SplitViewController.h"
#include "core/AppNotification.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/MainWindowLocator.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMetaMethod>
#include <QScreen>
#include <QStatusBar>

#include "platform/DefaultsStore.h"

#include <algorithm>

namespace {
QList<MainWindow*>& liveWindows()
{
    static QList<MainWindow*> windows;
    return windows;
}

// The method that answers a selector: its name without the colon, except
// where that name is a keyword of the language.
QString methodName(const QString& selector)
{
    if (selector == QLatin1String("delete:"))
        return QStringLiteral("deleteFiles");
    QString name = selector;
    if (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    return name;
}

QByteArray methodSignature(const QString& selector, const char* argument)
{
    const QString name = methodName(selector);
    return QMetaObject::normalizedSignature((name + QLatin1Char('(') + QLatin1String(argument) + QLatin1Char(')')).toLatin1());
}

QString describe(const QObject* target)
{
    if (!target)
        return QStringLiteral("nil");
    return QString::fromLatin1(target->metaObject()->className());
}
} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
{
    liveWindows() << this;
    AccessiblePopups::install();
    setWindowTitle(QString::fromLatin1(TITLE));
    // Each list step costs the files it holds; the history keeps a bounded number.
    m_undoManager.setCostLimit(FileDataSource::UNDO_HISTORY_FILES);
    MainWindowLocator::setUndoManager(&m_undoManager);
    connect(&m_undoManager, &UndoManager::stacksChanged, this, &MainWindow::updateUndoItems);
    buildMenuBar();
    // The text commands follow the focus; a disabled item's shortcut never fires.
    connect(qApp, &QApplication::focusChanged, this, &MainWindow::updateTextItems);
    // Shortcuts of disabled items do not fire: keep the states current, not only when a menu opens.
    for (const QString& name : { NotificationName::dataSourceUpdated, NotificationName::enableUserInput,
             NotificationName::disableUserInput, NotificationName::updateWindowTitle }) {
        NotificationCenter::defaultCenter().addObserver(this, name, [this](const Notification&) {
            QMetaObject::invokeMethod(this, &MainWindow::validateMenuItems, Qt::QueuedConnection);
        });
    }
}

void MainWindow::showStatusMessage(const QString& text)
{
    QStatusBar* bar = statusBar();
    if (bar->objectName().isEmpty()) {
        bar->setObjectName(QStringLiteral("statusLine"));
        bar->setAccessibleName(QStringLiteral("Status"));
        bar->setSizeGripEnabled(false);
        // Only while it says something: the window keeps its height otherwise.
        connect(bar, &QStatusBar::messageChanged, bar, [bar](const QString& message) { bar->setVisible(!message.isEmpty()); });
    }
    bar->showMessage(text, STATUS_MESSAGE_MILLISECONDS);
    bar->setAccessibleDescription(text);
    QAccessibleEvent announcement(bar, QAccessible::Alert);
    QAccessible::updateAccessibility(&announcement);
}

MainWindow::~MainWindow()
{
    // Closing the window below moves the focus: the menu is gone by then.
    disconnect(qApp, &QApplication::focusChanged, this, nullptr);
    liveWindows().removeAll(this);
    if (MainWindowLocator::undoManager() == &m_undoManager) {
        MainWindow* next = mainWindow();
        MainWindowLocator::setUndoManager(next ? &next->m_undoManager : nullptr);
    }
}

MainWindow* MainWindow::mainWindow()
{
    const auto& windows = liveWindows();
    for (MainWindow* window : windows)
        if (window->isActiveWindow())
            return window;
    return windows.isEmpty() ? nullptr : windows.constLast();
}

void MainWindow::setContentViewController(SplitViewController* controller)
{
    m_contentViewController = controller;
    setCentralWidget(controller);
}

void MainWindow::setSubtitle(const QString& subtitle)
{
    m_subtitle = subtitle;
    updateTitle();
}

void MainWindow::setRecipeEdited(bool edited)
{
    m_recipeEdited = edited;
    updateTitle();
}

void MainWindow::updateTitle()
{
    // What the window shows first, then the application, as desktops name
    // windows; a title that ends with the application's name gets it only once.
    const QString title = QString::fromLatin1(TITLE);
    const QString edited = m_recipeEdited ? QStringLiteral("*") : QString();
    setWindowTitle(edited + (m_subtitle.isEmpty() ? title : m_subtitle + QStringLiteral(" — ") + title));
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!RecipeChangesAlert::mayReplaceRecipe()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

bool MainWindow::hasTextCommand(const QObject* target, const char* method)
{
    return target && target->metaObject()->indexOfMethod(QByteArray(method) + "()") >= 0
        && (target->inherits("QLineEdit") || target->inherits("QTextEdit") || target->inherits("QPlainTextEdit")
            || ((qstrcmp(method, "selectAll") == 0 || qstrcmp(method, "copy") == 0)
                && target->inherits("QAbstractItemView")));
}

void MainWindow::updateTextItems()
{
    for (QAction* item : std::as_const(m_textItems))
        item->setEnabled(hasTextCommand(QApplication::focusWidget(), item->property(TEXT_COMMAND_PROPERTY).toByteArray()));
}

QObject* MainWindow::targetForAction(const QString& selector, QObject* sender)
{
    for (QWidget* widget = QApplication::focusWidget(); widget && widget->window() == this; widget = widget->parentWidget())
        if (respondsTo(widget, selector))
            return widget;
    return supplementalTarget(selector, sender);
}

void MainWindow::restoreFrame()
{
    const QByteArray frame = QByteArray::fromBase64(DefaultsStore::standard().value(FRAME_KEY).toString().toLatin1());
    if (frame.isEmpty() || !restoreGeometry(frame)) {
        // A first start: a comfortable size that fits the screen.
        const QRect available = screen() ? screen()->availableGeometry() : QRect(0, 0, 1280, 800);
        resize(std::min(1000, available.width()), std::min(640, available.height()));
    }
}

void MainWindow::saveFrame() const
{
    DefaultsStore::standard().setValue(FRAME_KEY, QString::fromLatin1(saveGeometry().toBase64()));
}

QString MainWindow::aboutText()
{
    return QStringLiteral("<h3>Brackenfold %1</h3>"
                          "<p>Renames many files and folders at once by an ordered list of rules.</p>"
                          "<p>Free software under the GNU General Public License, version 3 or (at your option) any later "
                          "version, without any warranty. The licence is the file LICENSE that came with this copy "
                          "(<a href=\"https://www.gnu.org/licenses/gpl-3.0.html\">gnu.org/licenses/gpl-3.0.html</a>).</p>"
                          "<p>Addresses of GPS positions: © OpenStreetMap contributors, data available under the "
                          "Open Database License (<a href=\"https://www.openstreetmap.org/copyright\">"
                          "openstreetmap.org/copyright</a>), looked up through Nominatim.</p>"
                          "<p>Built with Qt %2, ICU, Exiv2, TagLib, FFmpeg and libsodium.</p>")
        .arg(QApplication::applicationVersion(), QString::fromLatin1(qVersion()));
}

void MainWindow::showAbout()
{
    auto* box = new QMessageBox(QMessageBox::NoIcon, QStringLiteral("About Brackenfold"), aboutText(), QMessageBox::Close, this);
    box->setTextFormat(Qt::RichText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setAccessibleName(QStringLiteral("About Brackenfold"));
    box->open();
}

bool MainWindow::respondsTo(const QObject* target, const QString& selector)
{
    return target && target->metaObject()->indexOfMethod(methodSignature(selector, "QObject*")) >= 0;
}

QObject* MainWindow::supplementalTarget(const QString& selector, QObject* sender)
{
    QObject* target = nullptr;
    for (QObject* action : MainMenu::globalMenuActions()) {
        if (respondsTo(action, selector)) {
            target = action;
            break;
        }
    }
    if (!target && m_contentViewController) {
        for (QObject* controller : m_contentViewController->allChildControllers()) {
            if (respondsTo(controller, selector)) {
                target = controller;
                break;
            }
        }
    }
    Log::debug(Log::Category::ui, "MainWindow.supplementalTarget %s -> %s", selector, describe(target));
    return target;
}

bool MainWindow::validateMenuItem(QAction* item)
{
    const QString selector = item->property(MainMenu::SELECTOR_PROPERTY).toString();
    if (selector.isEmpty())
        return item->isEnabled();
    QObject* target = targetForAction(selector, item);
    if (!target)
        return false;
    if (target->metaObject()->indexOfMethod(methodSignature(QStringLiteral("validateMenuItem"), "QAction*")) < 0)
        return true;
    bool enabled = false;
    QMetaObject::invokeMethod(target, "validateMenuItem", Qt::DirectConnection, Q_RETURN_ARG(bool, enabled),
        Q_ARG(QAction*, item));
    return enabled;
}

bool MainWindow::sendAction(const QString& selector, QObject* sender)
{
    // A shortcut fires without the menu being shown: check the item here too.
    if (auto* item = qobject_cast<QAction*>(sender); item && !validateMenuItem(item))
        return false;
    QObject* target = targetForAction(selector, sender);
    if (!target)
        return false;
    return QMetaObject::invokeMethod(target, methodName(selector).toLatin1().constData(), Qt::DirectConnection,
        Q_ARG(QObject*, sender));
}

void MainWindow::validateMenu(QMenu* menu)
{
    for (QAction* item : menu->actions()) {
        if (item->menu())
            continue;
        if (!item->property(MainMenu::SELECTOR_PROPERTY).toString().isEmpty())
            item->setEnabled(validateMenuItem(item));
    }
}

void MainWindow::validateMenuItems()
{
    updateUndoItems();
    updateTextItems();
    for (QMenu* menu : menuBar()->findChildren<QMenu*>())
        validateMenu(menu);
}

void MainWindow::updateUndoItems()
{
    if (!m_undoAction)
        return;
    const QString undoName = m_undoManager.undoActionName();
    const QString redoName = m_undoManager.redoActionName();
    m_undoAction->setText(undoName.isEmpty() ? QStringLiteral("Undo") : QStringLiteral("Undo ") + undoName);
    m_redoAction->setText(redoName.isEmpty() ? QStringLiteral("Redo") : QStringLiteral("Redo ") + redoName);
    m_undoAction->setEnabled(m_undoManager.canUndo());
    m_redoAction->setEnabled(m_undoManager.canRedo());
}
