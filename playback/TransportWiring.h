#pragma once

struct AppContext;
class frmMedia;

// Creates the window's playback objects (poller, transport, message hook, key table,
// power and tray, drive stepping) and lets each connect itself to the window's controls.
// Runs in the window's constructor once timCD and timScroll exist.
void connectPlayback(AppContext& ctx, frmMedia& form);
