#pragma once
#include "platform/PlatformExport.h"

namespace platform {

// Which serial ports are there to be opened, by COM number.
class PLATFORM_EXPORT PortList {
public:
    virtual ~PortList();
    // True when port n can be opened now; it is closed again at once.
    virtual bool PortExists(int portNumber) = 0;

    static PortList& Instance();
    static void SetInstance(PortList* ports);
};

} // namespace platform
