#include "app/HubMain.h"
#include "app/MainWidget.h"
#include "app/TrayIcon.h"
#include "platform/SingleInstance.h"

#include <QApplication>
#include <QFileInfo>
#include <memory>

int RunHub(int argc, char **argv, void (*beforeWindow)())
{
    QApplication app(argc, argv);
    SingleInstance guard(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
    if (!guard.tryAcquire())
        return 1;
    if (beforeWindow)
        beforeWindow();
    {
        auto window = std::make_unique<MainWidget>();
        window->show();
        app.exec();
        // However the loop ended (tray exit included), threads stop before pages go away.
        window->Shutdown();
    }
    TrayIcon::Destroy();
    guard.release(); // last: a restart must not open devices this process still holds
    return 0;
}
