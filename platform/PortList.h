#pragma once
#include "platform/PlatformExport.h"
#include <QList>

namespace platform {

// Which serial ports are there to be opened, by COM number.
class PLATFORM_EXPORT PortList {
public:
    virtual ~PortList();
    // True when port n can be opened now; it is closed again at once.
    virtual bool PortExists(int portNumber) = 0;
    // The numbers 1..32 of the ports the system lists now, without opening any of them
    // (opening toggles the control lines of whatever device sits on a port). The default
    // asks PortExists for each number.
    virtual QList<int> PresentPorts();
    // The device port n stands for (the settings' map, else the usual name of the system).
    virtual QString DevicePath(int portNumber);
    // What the system says the device of port n is ("" when it does not list it).
    virtual QString Description(int portNumber);

    static PortList& Instance();
    static void SetInstance(PortList* ports);
};

} // namespace platform
