#pragma once
// The reports the main window starts.
class MainState;

namespace reports {

// Builds the printed setup report of the open setup: direct prints at once, else the print
// dialog comes first.
void PrintSetup(MainState& state, bool direct);
// Asks for a file name and writes the open setup as a plain-text report.
void CmdExportAsText(MainState& state);

} // namespace reports
