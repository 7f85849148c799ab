#pragma once
// The unit operations and reports the main window starts, as replaceable calls: the program
// uses the real routines, a test puts in its own to script the unit side.
#include <QString>

#include <functional>

class MainState;

struct FrameUnitOps {
    std::function<QString(bool firmware)> ReadUnitVersion;
    std::function<bool()> DetectUnit;
    std::function<bool()> IsPropulsionUnit;
    // firmware: the version the caller read for this transfer ("" lets the dialog read it).
    std::function<bool(MainState&, int commType, const QString& firmware)> RunSetupTransfer;
    std::function<bool(MainState&)> DoFileTransmit;
    std::function<bool(MainState&, bool swapWords)> OpenSetupLog;
    std::function<bool(MainState&)> SaveSetupLog;
    std::function<void(MainState&, bool askPassword)> CmdDeleteLog;
    std::function<void(MainState&, bool askPassword)> CmdResetCounters;
    std::function<void(MainState&, bool askPassword)> CmdCounters;
    std::function<void(MainState&)> CmdClock;
    std::function<void(MainState&)> CmdOptions;
    std::function<void(MainState&)> CmdBackupSystemSettings;
    std::function<void(MainState&)> CmdRetrieveLog;
    std::function<void()> CloseRetrieveLog;
    std::function<bool(MainState&, bool direct)> PrintSetup;
    std::function<void(MainState&)> CmdExportAsText;

    // The program's own routines.
    static FrameUnitOps Defaults();
};
