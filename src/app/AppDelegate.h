// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/MainWindowDelegate.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>

class MainWindow;
class UserInputBlockObserver;
class OpenFolderEventHandler;
class OpenMostRecentRecipeHandler;

// Starts and stops the application: registers the shared objects in order,
// the preference defaults, the open-folder handler, reads the command line and
// builds the main window's content. Also takes documents the desktop hands over.
class AppDelegate : public QObject {
    Q_OBJECT
public:
    explicit AppDelegate(MainWindow* window, QObject* parent = nullptr);
    ~AppDelegate() override;

    MainWindow* window() const { return m_window; }
    OpenFolderEventHandler* openFolderEventHandler() const { return m_openFolderEventHandler.get(); }
    OpenMostRecentRecipeHandler* openMostRecentRecipeHandler() const { return m_openMostRecentRecipeHandler.get(); }

    // Relative paths of the command line count from `workingDirectory`.
    void applicationWillFinishLaunching(const QStringList& arguments, const QString& workingDirectory = {});
    void applicationDidFinishLaunching();
    void applicationWillTerminate();
    static bool applicationShouldTerminateAfterLastWindowClosed() { return true; }

    // The whole run of the application: the application object, the main
    // window, start-up, the event loop. `launched` sees the window once it is
    // shown (test builds drive it from there); the shipped binary passes none.
    static int main(int argc, char* argv[], const std::function<void(MainWindow&)>& launched = {});

    static void initDependencyRegistry();
    // Connects the registered objects with the layers they may not include:
    // attribute reading, validation cancelling, the single-file queue, the
    // Select rule of the file table, the sort menu and the rename run's dialogs.
    static void installServiceHooks();
    // Paths the desktop opens with the application: one recipe file is opened
    // as the recipe, anything else is appended to the file list without a question.
    void openFiles(const QStringList& paths);
    // The command line of a later start, handed over: acted on as at start-up,
    // and the window comes to the front. While input is blocked (a rename run)
    // it waits, and is acted on once input is free again.
    void handleArguments(const QStringList& arguments, const QString& workingDirectory);

private:
    static void registerUncaughtExceptionHandler();
    void initMostRecentRecipe();
    void initViews();
    void openCommandLineDocuments(const QStringList& arguments, const QString& workingDirectory);
    void bringWindowToFront();

    QPointer<MainWindow> m_window;
    MainWindowDelegate m_mainWindowDelegate;
    std::unique_ptr<OpenFolderEventHandler> m_openFolderEventHandler;
    std::unique_ptr<OpenMostRecentRecipeHandler> m_openMostRecentRecipeHandler;
    // The command line asked for a recipe: it wins over reopening the most recent one.
    bool m_recipeRequested = false;
    UserInputBlockObserver* m_inputBlock = nullptr;
    // Hand-overs that came while input was blocked, in order: arguments and working folder.
    QList<std::pair<QStringList, QString>> m_waitingHandOvers;
};
