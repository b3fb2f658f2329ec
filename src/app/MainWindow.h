// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/SplitViewController.h"
#include "platform/UndoManager.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>

class QAction;
class QMenu;

// The main window. Its menu items name their command by a selector; the window
// hands each command first to the global menu actions, then to the controllers
// below its content, and answers nothing otherwise. It owns the undo manager
// that the Edit menu and every undoable change use.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr const char* TITLE = "Brackenfold";

    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // The window sheets, alerts, the undo manager and the title belong to: the
    // active main window, else the one made last; null when there is none.
    static MainWindow* mainWindow();

    UndoManager& undoManager() { return m_undoManager; }

    SplitViewController* contentViewController() const { return m_contentViewController; }
    void setContentViewController(SplitViewController* controller);

    // Qt windows have no subtitle line: the title carries it after the name.
    void setSubtitle(const QString& subtitle);
    QString subtitle() const { return m_subtitle; }
    // Marks the title ("*" in front) while the opened recipe has unsaved changes.
    void setRecipeEdited(bool edited);
    bool isRecipeEdited() const { return m_recipeEdited; }
    // A line at the foot of the window that stops nobody: shown for a while,
    // announced to a screen reader, gone with its message.
    void showStatusMessage(const QString& text);
    static constexpr int STATUS_MESSAGE_MILLISECONDS = 8000;

    // The object that answers `selector`: the focused widget or one that holds
    // it, else the supplemental target; null when nothing does.
    QObject* targetForAction(const QString& selector, QObject* sender);
    // The global menu action or controller that answers `selector`, or null.
    QObject* supplementalTarget(const QString& selector, QObject* sender);
    // Validates and sends the command; false when nothing took it.
    bool sendAction(const QString& selector, QObject* sender);
    // Whether the item's command has a target that accepts it now.
    bool validateMenuItem(QAction* item);
    // Brings the enabled state of every item of the menu bar up to date.
    void validateMenuItems();

    QAction* undoAction() const { return m_undoAction; }
    QAction* redoAction() const { return m_redoAction; }

    static bool respondsTo(const QObject* target, const QString& selector);

    // Where and how large the window was when it last closed; nothing stored, nothing changed.
    void restoreFrame();
    void saveFrame() const;
    static inline const QString FRAME_KEY = QStringLiteral("com.quendrel.brackenfold.mainWindowFrame");

    // Help ▸ About: version, licence and the sources of the data the program uses.
    static QString aboutText();
    void showAbout();

protected:
    // Quitting asks first whether to save the opened recipe's changes.
    void closeEvent(QCloseEvent* event) override;

private:
    void updateTitle();
    void buildMenuBar();
    QMenu* addMenu(const QString& title);
    QAction* addItem(QMenu* menu, const QString& title, const QString& selector, const QKeySequence& shortcut = {},
        int tag = 0, const QString& identifier = {});
    // Edit commands of the focused text field (a method without arguments of the field).
    QAction* addTextItem(QMenu* menu, const QString& title, const char* method, const QKeySequence& shortcut);
    void updateTextItems();
    static bool hasTextCommand(const QObject* target, const char* method);
    static constexpr const char* TEXT_COMMAND_PROPERTY = "textCommand";
    void validateMenu(QMenu* menu);
    void updateUndoItems();

    UndoManager m_undoManager;
    QPointer<SplitViewController> m_contentViewController;
    QString m_subtitle;
    bool m_recipeEdited = false;
    QAction* m_undoAction = nullptr;
    QAction* m_redoAction = nullptr;
    QList<QAction*> m_textItems;
};
