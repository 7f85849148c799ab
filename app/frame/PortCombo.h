#pragma once
class QComboBox;

// Fills a port combo from the system's list of serial ports, without opening any port:
// COM1 to COM10 always (a port the system does not list gets "   - not detected"), the
// numbers above only when listed or while Shift is held. Item data is the port number.
void FillPortCombo(QComboBox* combo);
