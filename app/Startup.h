#pragma once

#include "app/AppContext.h"

#include <QMessageBox>
#include <QString>

#include <functional>
#include <memory>

class frmMedia;

namespace kb::cdrom {
class DriveTable;
}

namespace kb::app {

// Shows a start-up message (OK button only). The program passes a message box; tests pass
// a recorder.
using StartupMessage = std::function<void(const QString& text, QMessageBox::Icon icon)>;

struct StartupServices {
    const kb::cdrom::DriveTable& drives;
    StartupMessage message;
    bool previousInstance = false;
    // Builds the main window; empty for the player's own. Tests pass windows that fail.
    std::function<std::unique_ptr<frmMedia>(AppContext&)> createWindow = {};
};

inline const QString kNoDriveMessage = QStringLiteral("有効なCDドライブが検出できませんでした");
inline const QString kRuntimeMissingMessage = QStringLiteral(
    "起動に必要なランタイムが正しくインストールされていない可能性があります 処理を中断します");

// Rebuilds CdDrives from the drive table: the names of its CD-ROM drives, upper case, in
// table order; one empty entry when there is none.
void FindCdDrives(PlayerState& state, const kb::cdrom::DriveTable& drives);

// The start procedure. Returns the main window, shown and placed, when the program goes on
// running; nullptr when start-up ended (another copy runs, no CD drive, or the window could
// not be built).
std::unique_ptr<frmMedia> Main(AppContext& ctx, const StartupServices& services);

} // namespace kb::app
