#include "app/InstanceLock.h"
#include "app/Settings.h"
#include "app/Startup.h"
#include "app/Toolkit.h"
#include "desktop/ExternalOpen.h"
#include "desktop/FileArguments.h"
#include "desktop/Handover.h"
#include "desktop/MprisService.h"
#include "mci/modMci.h"
#include "platform/engine/Platform.h"
#include "ui/frmMedia.h"

#include <QApplication>
#include <QDir>

namespace {

QStringList filesOnCommandLine(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    return kb::desktop::localFiles(args, QDir::currentPath());
}

} // namespace

int main(int argc, char** argv)
{
    // A second copy ends here, before it opens a display, a device or the settings; files it
    // was started with go to the running copy first.
    kb::app::InstanceLock instance;
    if (!instance.tryAcquire()) {
        const QStringList files = filesOnCommandLine(argc, argv);
        if (!files.isEmpty()) {
            QCoreApplication core(argc, argv);
            kb::desktop::handOverFiles(files);
        }
        return 0;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(kb::app::AppTitle());
    QApplication::setDesktopFileName(kb::desktop::MprisService::kDesktopId);

    auto platform = kb::platform::makePlatform();
    PlayerState state;
    ModMci mci(state, *platform->mci);
    Settings settings;
    AppContext ctx{state, mci, settings, *platform};

    const kb::app::StartupServices services{
        *platform->drives,
        [](const QString& text, QMessageBox::Icon icon) { kb::app::MsgBox(text, icon); },
        false};
    auto window = kb::app::Main(ctx, services);
    if (!window)
        return 0;
    kb::desktop::ExternalOpen opener(ctx, *window);
    kb::desktop::MprisService mpris(ctx, *window, opener);
    const QStringList files = filesOnCommandLine(argc, argv);
    for (const QString& f : files) {
        if (!kb::desktop::modeForFile(f).isEmpty()) {
            opener.openWhenReady(f);
            break;
        }
    }
    const int rc = QApplication::exec();
    mci.setCallbackWindow(nullptr);
    return rc;
}
