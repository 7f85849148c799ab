#pragma once
#include "platform/PlatformExport.h"

namespace platform {

// Which keys are held down now.
class PLATFORM_EXPORT KeyState {
public:
    enum Key { Shift, Control, Alt };
    virtual ~KeyState();
    virtual bool IsDown(Key key) = 0;
    // A letter or digit key ('A'..'Z', '0'..'9') held down.
    virtual bool IsCharDown(char ch) = 0;

    static KeyState& Instance();
    static void SetInstance(KeyState* state);
};

} // namespace platform
