#pragma once
// The setup of a new document: every collection's items with their defaults and every
// section's default values, as the pages write them. The language library must be
// loaded (the terminal texts, relay names and speed relays come from it).
#include <memory>

class XelObject;

// A new document holding the default setup, unchanged (its backups reset).
std::unique_ptr<XelObject> CreateDefaultSetupDocument();

// The same defaults written into an existing, empty document, then ResetBackup.
void FillDefaultSetup(XelObject& setup);

// Each section's defaults alone; a page writes its section's defaults through these.
namespace defaultsetup {
void SetMainDefaults(XelObject& setup);
void SetDigitalDefaults(XelObject& setup);
void SetAnalogDefaults(XelObject& setup);
void SetStandbyOperationDefaults(XelObject& setup);
void SetSpeedSensorDefaults(XelObject& setup);
void SetInfoDefaults(XelObject& setup);
void SetBatteryDefaults(XelObject& setup);
void SetRelaysDefaults(XelObject& setup);
void SetRelaysNewDefaults(XelObject& setup);
void SetSpeedRelaysDefaults(XelObject& setup);
void SetDigitalInAdditionalDefaults(XelObject& setup);
} // namespace defaultsetup
