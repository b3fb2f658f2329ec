#include "app/AppDelegate.h"
#include "app/MainWindow.h"
#include "app/ScriptedRun.h"
#include "app/SingleInstance.h"
#include "app/WindowSnapshot.h"

#include <QApplication>
#include <QDir>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brackenfold"));
    QApplication::setApplicationVersion(QStringLiteral(BRACKENFOLD_VERSION));
    QApplication::setApplicationDisplayName(QStringLiteral("Brackenfold"));
    QApplication::setOrganizationDomain(QStringLiteral("quendrel.com"));
    QApplication::setDesktopFileName(QStringLiteral("brackenfold"));
    QApplication::setQuitOnLastWindowClosed(AppDelegate::applicationShouldTerminateAfterLastWindowClosed());

    // A running Brackenfold of this user takes the request, and this start ends.
    const SingleInstance::Request request { QDir::currentPath(), QCoreApplication::arguments() };
    if (SingleInstance::handOver(SingleInstance::defaultServerName(), request))
        return 0;
    SingleInstance instance;

    MainWindow window;
    window.resize(1000, 640);
    AppDelegate delegate(&window);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &delegate, &AppDelegate::applicationWillTerminate);
    delegate.applicationWillFinishLaunching(request.arguments, request.workingDirectory);
    window.show();
    delegate.applicationDidFinishLaunching();
    instance.setHandler([&delegate](const SingleInstance::Request& handedOver) {
        delegate.handleArguments(handedOver.arguments, handedOver.workingDirectory);
    });
    instance.listen();
    WindowSnapshot::installFromEnvironment(&window);
    ScriptedRun::installFromEnvironment(&window);
    return QApplication::exec();
}
