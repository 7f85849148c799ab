#include "app/frame/Startup.h"

#include "app/frame/frmMain.h"
#include "platform/KeyTracker.h"

#include <QApplication>

int RunQuarno(QApplication& app)
{
    platform::KeyTracker::Install();
    QStringList args = app.arguments();
    if (!args.isEmpty())
        args.removeFirst();
    frmMain window;
    if (!window.Form_Load(args))
        return window.ExitStatus();
    window.show();
    QObject::connect(&window, &frmMain::Unloaded, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    app.exec();
    return window.ExitStatus();
}
