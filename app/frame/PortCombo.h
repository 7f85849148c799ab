#pragma once
class QComboBox;

// Fills a port combo from the system's list of serial ports, without opening any port:
// COM1 to COM10 always (a port the system does not list gets "   - not detected"), the
// numbers above only when listed or while Shift is held, and the stored port always. Each
// entry names the device its number stands for; its tip says what the system calls it.
// Item data is the port number. The stored port (when not 0) is selected, else nothing.
void FillPortCombo(QComboBox* combo, int storedPort = 0);
