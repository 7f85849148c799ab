#pragma once
class frmMain;

// Creates the eight pages on the tabs of tabMain and publishes their routines in the state.
void InstallPages(frmMain& window);
