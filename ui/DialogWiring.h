#pragma once

struct AppContext;
class frmMedia;

// Creates the title editing and the option and help items of the window and connects them
// to its controls.
void connectDialogs(AppContext& ctx, frmMedia& form);
