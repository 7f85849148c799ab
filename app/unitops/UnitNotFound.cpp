#include "app/unitops/UnitNotFound.h"

#include "extra/extra.h"
#include "app/services/modRegistry.h"
#include "platform/MessagePresenter.h"
#include "platform/PortList.h"
#include "platform/SerialPort.h"
#include "platform/StatusSink.h"

namespace unitops {

QString UnitNotFoundStatus()
{
    const int port = modRegistry::GetCommPort();
    if (port <= 0)
        return QStringLiteral("No COM port is set for the Control Unit");
    const platform::PortOpenFailure failure = platform::SerialPort::LastOpenFailure();
    QString device = platform::PortList::Instance().DevicePath(port);
    if (failure.portNumber == port && !failure.device.isEmpty())
        device = failure.device;
    const QString tried = QStringLiteral("COM%1 (%2)").arg(port).arg(device.isEmpty() ? QStringLiteral("no device") : device);
    if (failure.portNumber == port && !failure.reason.isEmpty())
        return tried + QStringLiteral(" could not be opened: ") + failure.reason;
    return tried + QStringLiteral(" was opened, but no Control Unit answered");
}

void ShowUnitNotFound()
{
    platform::StatusSink& sink = platform::StatusSink::Instance();
    // The text stays while the message is read and after it.
    sink.StopRestoreTimer(5000);
    sink.SetStatusText(UnitNotFoundStatus());
    extra::LangMsgBox(140, platform::MsgStyle::Critical);
}

} // namespace unitops
