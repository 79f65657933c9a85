#include "app/InstanceLock.h"
#include "app/Settings.h"
#include "app/Startup.h"
#include "app/Toolkit.h"
#include "mci/modMci.h"
#include "platform/engine/Platform.h"
#include "ui/frmMedia.h"

#include <QApplication>

int main(int argc, char** argv)
{
    // A second copy ends here, before it opens a display, a device or the settings.
    kb::app::InstanceLock instance;
    if (!instance.tryAcquire())
        return 0;

    QApplication app(argc, argv);
    QApplication::setApplicationName(kb::app::AppTitle());

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
    const int rc = QApplication::exec();
    mci.setCallbackWindow(nullptr);
    return rc;
}
