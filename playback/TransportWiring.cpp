#include "playback/TransportWiring.h"

#include "browser/DriveSelection.h"
#include "browser/FileList.h"
#include "browser/OpenFile.h"
#include "mci/MessageHook.h"
#include "playback/StatusPoller.h"
#include "playback/StatusPollerInspect.h"
#include "playback/Transport.h"
#include "ui/KeyTable.h"
#include "ui/PowerTray.h"
#include "ui/frmMedia.h"

void connectPlayback(AppContext& ctx, frmMedia& form)
{
    form.poller = std::make_unique<StatusPoller>(ctx, form);
    form.poller->connectTo(form);
    form.transport = std::make_unique<Transport>(ctx, form);
    form.transport->connectTo(form);
    form.hook = std::make_unique<MessageHook>(ctx, form);
    form.hook->connectTo(form);
    form.keys = std::make_unique<KeyTable>(form, *form.transport);
    form.keys->connectTo(form);
    form.powerTray = std::make_unique<PowerTray>(ctx, form, *form.hook);
    form.powerTray->connectTo(form);
    form.driveSelection = std::make_unique<DriveSelection>(ctx, form);
    form.driveSelection->connectTo(form);
    form.fileList = std::make_unique<FileList>(ctx, form);
    form.fileList->connectTo(form);
    form.openFile = std::make_unique<OpenFile>(ctx, form, *form.fileList);
    form.openFile->connectTo(form);
    if (auto inspect = StatusPollerInspect::fromEnvironment(form))
        inspect.release()->setParent(&form);
}
