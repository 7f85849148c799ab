#pragma once
// The setup of a new document: every collection's items with their defaults and every
// section's default values, as the pages would write them. The language library must be
// loaded (the terminal texts, relay names and speed relays come from it).
#include <memory>

class XelObject;

// A new document holding the default setup, unchanged (its backups reset).
std::unique_ptr<XelObject> CreateDefaultSetupDocument();

// The same defaults written into an existing, empty document, then ResetBackup.
void FillDefaultSetup(XelObject& setup);
