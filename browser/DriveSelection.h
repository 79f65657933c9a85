#pragma once

struct AppContext;
class frmMedia;

// Stepping the CD player between the machine's CD drives with cmdUpDrive and cmdDownDrive.
class DriveSelection {
public:
    DriveSelection(AppContext& ctx, frmMedia& form) : ctx_(ctx), form_(form) {}

    void connectTo(frmMedia& form);

    void cmdUpDrive_Click();
    void cmdDownDrive_Click();
    // Reopens the CD device on CurCdDrive; polling restarts with the open's notification.
    void SetUpDownDrive();

private:
    AppContext& ctx_;
    frmMedia& form_;
};
