#include "app/HubMain.h"
#include "app/MainWidget.h"
#include "app/TrayIcon.h"
#include "platform/SingleInstance.h"

#include <QApplication>
#include <memory>

namespace {
// The program and its emulator build share one program folder and its settings files, so they
// share one lock: it bears the application's name, not the executable's.
const char kLockName[] = "quorix-hub";
} // namespace

int RunHub(int argc, char **argv, void (*beforeWindow)())
{
    QApplication app(argc, argv);
    SingleInstance guard(QString::fromLatin1(kLockName));
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
