#pragma once
// Two small services of the main window that page logic uses: the Switch page's list of
// additional inputs and the status-bar text that stays until something replaces it.
#include <QString>

class MainState;

namespace mainhelpers {

// Refills the Switch page's additional-input list from the open setup.
void RefreshDigitalInAdditional(MainState& state);
// Puts the text into the status-bar panel "TEXT" without touching the panel's restore timer.
void SetStatusText(const QString& text);

} // namespace mainhelpers
