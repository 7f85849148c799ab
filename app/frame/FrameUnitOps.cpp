#include "app/frame/FrameUnitOps.h"

#include "app/reports/Reports.h"
#include "app/unitops/UnitOps.h"

FrameUnitOps FrameUnitOps::Defaults()
{
    FrameUnitOps ops;
    ops.ReadUnitVersion = unitops::ReadUnitVersion;
    ops.DetectUnit = unitops::DetectUnit;
    ops.IsPropulsionUnit = unitops::IsPropulsionUnit;
    ops.RunSetupTransfer = unitops::RunSetupTransfer;
    ops.DoFileTransmit = unitops::DoFileTransmit;
    ops.OpenSetupLog = unitops::OpenSetupLog;
    ops.SaveSetupLog = unitops::SaveSetupLog;
    ops.CmdDeleteLog = unitops::CmdDeleteLog;
    ops.CmdResetCounters = unitops::CmdResetCounters;
    ops.CmdCounters = unitops::CmdCounters;
    ops.CmdClock = unitops::CmdClock;
    ops.CmdOptions = unitops::CmdOptions;
    ops.CmdBackupSystemSettings = unitops::CmdBackupSystemSettings;
    ops.CmdRetrieveLog = unitops::CmdRetrieveLog;
    ops.CloseRetrieveLog = unitops::CloseRetrieveLog;
    ops.PrintSetup = reports::PrintSetup;
    ops.CmdExportAsText = reports::CmdExportAsText;
    return ops;
}
