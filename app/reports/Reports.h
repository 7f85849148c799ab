#pragma once
// The reports the main window starts.
class MainState;

namespace reports {

// Checks the page on show and builds the printed setup report of the open setup: direct prints
// at once, else the print dialog comes first. True when the report went to the printer.
bool PrintSetup(MainState& state, bool direct);
// Asks for a file name and writes the open setup as a plain-text report.
void CmdExportAsText(MainState& state);

} // namespace reports
