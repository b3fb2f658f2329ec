#include "app/AppDelegate.h"
#include "app/MainWindow.h"
#include "app/ScriptedRun.h"
#include "app/WindowSnapshot.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brackenfold"));
    QApplication::setApplicationVersion(QStringLiteral(BRACKENFOLD_VERSION));
    QApplication::setApplicationDisplayName(QStringLiteral("Brackenfold"));
    QApplication::setOrganizationDomain(QStringLiteral("quendrel.com"));
    QApplication::setDesktopFileName(QStringLiteral("brackenfold"));
    QApplication::setQuitOnLastWindowClosed(AppDelegate::applicationShouldTerminateAfterLastWindowClosed());

    MainWindow window;
    window.resize(1000, 640);
    AppDelegate delegate(&window);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &delegate, &AppDelegate::applicationWillTerminate);
    delegate.applicationWillFinishLaunching(QCoreApplication::arguments());
    window.show();
    delegate.applicationDidFinishLaunching();
    WindowSnapshot::installFromEnvironment(&window);
    ScriptedRun::installFromEnvironment(&window);
    return QApplication::exec();
}
