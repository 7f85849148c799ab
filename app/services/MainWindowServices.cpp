#include "app/services/MainWindowServices.h"

namespace {
MainWindowServices* g_mainWindow = nullptr;
}

MainWindowServices::~MainWindowServices() = default;
MainWindowServices* MainWindowServices::Instance() { return g_mainWindow; }
void MainWindowServices::SetInstance(MainWindowServices* services) { g_mainWindow = services; }
