#pragma once
// The setup the benchmarks measure: the default setup with J1939/J1587 on, all 17 analog
// channels active with a two-level action and a full-length text. The language library must
// be loaded.
#include "app/setupdefaults/DefaultSetup.h"
#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelObject.h"
#include "datamodel/cAnalogIn.h"

#include <memory>

inline std::unique_ptr<XelObject> FullBenchSetup()
{
    auto doc = CreateDefaultSetupDocument();
    doc->Main()->SetCAN(true);
    for (int key = 12; key <= 17; ++key)
        doc->AnalogIn()->Add(key, "J1939");
    for (XelAnalogIn* channel : doc->AnalogIn()->NewEnum()) {
        channel->SetActive(true);
        channel->SetAction(4);
        channel->SetText("Channel text of thirty chars..");
    }
    doc->ResetBackup();
    return doc;
}
