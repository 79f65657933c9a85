#pragma once

#include "app/PlayerState.h"
#include "app/Settings.h"
#include "mci/modMci.h"
#include "platform/engine/Platform.h"

// What every window and module of the program works with: the shared state, the MCI
// command layer, the settings file and the platform services (levels, drives).
struct AppContext {
    PlayerState& state;
    ModMci& mci;
    Settings& settings;
    kb::platform::Platform& platform;
};
