#include "desktop/ExternalOpen.h"

#include "app/AppContext.h"
#include "app/Settings.h"
#include "app/Startup.h"
#include "browser/DriveSelection.h"
#include "browser/FileList.h"
#include "browser/PathNames.h"
#include "desktop/DiscPlacement.h"
#include "desktop/FileArguments.h"
#include "mci/DeviceModes.h"
#include "platform/cdrom/PhysicalDrives.h"
#include "playback/Transport.h"
#include "ui/frmMedia.h"

#include <QFileInfo>
#include <QTreeWidget>

#include <cstdio>
#include <utility>

namespace kb::desktop {

namespace {

// How many poll ticks (about a second each) a placed disc may take to be reported ready.
constexpr int kDiscWaitTicks = 15;
// How long a file named at start-up may wait for the panel: rounds of kWaitRoundMs.
constexpr int kWaitRounds = 300;
constexpr int kWaitRoundMs = 100;

void complain(const QString& text)
{
    std::fprintf(stderr, "kobaltune: %s\n", qPrintable(text));
}

} // namespace

ExternalOpen::ExternalOpen(AppContext& ctx, frmMedia& form) : ctx_(ctx), form_(form)
{
    connect(form.timCD, &QTimer::timeout, this, [this] { onPollTick(); });
}

bool ExternalOpen::open(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile()) {
        complain(QStringLiteral("no file at ") + path);
        return false;
    }
    const QString mode = modeForFile(path);
    if (mode.isEmpty()) {
        complain(QStringLiteral("not a file the player plays: ") + path);
        return false;
    }
    pendingTicks_ = 0;
    return mode == QLatin1String("CD") ? openDiscImage(info.absoluteFilePath())
                                       : openMediaFile(info.absoluteFilePath(), mode);
}

void ExternalOpen::openWhenReady(const QString& path)
{
    if (form_.readyForInput()) {
        open(path);
        return;
    }
    const bool alreadyWaiting = !waiting_.isEmpty();
    waiting_ = path;
    waitRounds_ = kWaitRounds;
    if (alreadyWaiting)
        return;
    QTimer::singleShot(kWaitRoundMs, this, [this] { retryWaiting(); });
}

void ExternalOpen::retryWaiting()
{
    if (form_.readyForInput()) {
        open(std::exchange(waiting_, QString()));
    } else if (--waitRounds_ > 0) {
        QTimer::singleShot(kWaitRoundMs, this, [this] { retryWaiting(); });
    } else {
        complain(QStringLiteral("the player never became ready to open ") + waiting_);
        waiting_.clear();
    }
}

void ExternalOpen::switchMode(const QString& mode)
{
    DeviceModes& modes = *form_.modes;
    if (modes.GetDeviceName() == mode)
        return;
    if (mode == QLatin1String("WAVE"))
        modes.mnuDeviceWAV_Click();
    else if (mode == QLatin1String("MIDI"))
        modes.mnuDeviceMIDI_Click();
    else if (mode == QLatin1String("MP3"))
        modes.mnuDeviceMP3_Click();
    else if (mode == QLatin1String("VIDEO"))
        modes.mnuDeviceAVI_Click();
    else if (mode == QLatin1String("CD"))
        modes.mnuDeviceCD_Click();
}

bool ExternalOpen::openMediaFile(const QString& path, const QString& mode)
{
    PlayerState& s = ctx_.state;
    switchMode(mode);
    s.OptFolderName = AddBackslash(kb::browser::GetFolderOfPath(path));
    form_.fileList->ListFolder(s.OptFolderName);
    QTreeWidget* list = form_.lvwFileList;
    QTreeWidgetItem* named = nullptr;
    for (int i = 0; i < list->topLevelItemCount() && !named; ++i) {
        if (list->topLevelItem(i)->text(0) == path)
            named = list->topLevelItem(i);
    }
    if (!named) {
        complain(QStringLiteral("the folder listing does not hold ") + path);
        return false;
    }
    list->clearSelection();
    list->setCurrentItem(named);
    named->setSelected(true);
    // The same road as a click on the list item.
    s.FileListClicked = true;
    form_.fileList->lvwFileList_ItemClick();
    return true;
}

bool ExternalOpen::openDiscImage(const QString& path)
{
    PlayerState& s = ctx_.state;
    QString why;
    const QString drive = placeDiscImage(path, kb::cdrom::VirtualDriveFile(), kb::cdrom::physicalDrives(), &why);
    if (drive.isEmpty()) {
        complain(QStringLiteral("cannot put %1 into a virtual drive: %2").arg(path, why));
        return false;
    }
    // A drive made just now joins the drives the up and down buttons step through.
    if (ctx_.platform.drives)
        kb::app::FindCdDrives(s, *ctx_.platform.drives);
    if (!s.CdDrives.contains(drive))
        s.CdDrives.append(drive);
    s.CurCdDriveIndex = int16_t(s.CdDrives.indexOf(drive));
    s.CurCdDrive = drive;
    s.LastTrack = 0;
    s.CurTrack = 1;
    s.PlayFromTrackStart = true;
    if (form_.modes->GetDeviceName() == QLatin1String("CD"))
        form_.driveSelection->SetUpDownDrive();
    else
        switchMode(QStringLiteral("CD"));
    pendingTicks_ = kDiscWaitTicks;
    return true;
}

void ExternalOpen::onPollTick()
{
    if (pendingTicks_ <= 0)
        return;
    PlayerState& s = ctx_.state;
    if (s.CurDeviceType != QLatin1String("cdaudio")) {
        pendingTicks_ = 0;
        return;
    }
    --pendingTicks_;
    if (s.OpenPending || ctx_.mci.MciGetMediaPresent(s.MciAlias) != QLatin1String("true"))
        return;
    pendingTicks_ = 0;
    form_.transport->cmdPlay_Click();
}

} // namespace kb::desktop
