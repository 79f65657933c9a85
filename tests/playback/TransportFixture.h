#pragma once

#include "../ui/PanelFixture.h"

#include "mci/MessageHook.h"
#include "playback/RepeatOrder.h"
#include "playback/StatusPoller.h"
#include "playback/Transport.h"
#include "ui/KeyTable.h"
#include "ui/PowerTray.h"
#include "ui/SkinButton.h"

#include <QStringList>

namespace kbtest {

// The panel loaded on a scripted three-track CD (or another script), the poll timer
// stopped and the command log emptied, so that a test sees only what it causes. Power-off
// closes the window but never ends the test process.
class TransportFixture : public PanelFixture {
public:
    explicit TransportFixture(int tracks = 3)
    {
        form->powerTray->quitApplication = [this] { ++quitCalls; };
        scriptDisc(tracks);
        mciService->answer("status 2 mode", "playing");
        load();
        form->timCD->stop();
        mciService->clearLog();
    }

    // The display state the panel's buttons show.
    QString display() const
    {
        const bool play = form->cmdPlay->isEnabled();
        const bool pause = form->cmdPause->isEnabled();
        const bool stop = form->cmdStop->isEnabled();
        if (!play && pause && stop)
            return "playing";
        if (play && !pause && !stop)
            return form->cmdFF->isEnabled() || state.CurDeviceType != "cdaudio" ? "ready" : "stopped";
        if (!play && !pause && !stop)
            return "nomedia";
        return "other";
    }

    void repeatShow(const QString& mode, const QString& oneTrack = {})
    {
        form->repeat->ShowRepeat(mode, oneTrack);
    }

    // A file mode with the given paths listed and item `selected` (1-based, 0 none) selected.
    void listFiles(const QString& deviceType, const QStringList& paths, int selected)
    {
        state.CurDeviceType = deviceType;
        form->lvwFileList->clear();
        for (const QString& p : paths)
            form->lvwFileList->addTopLevelItem(new QTreeWidgetItem(QStringList{p}));
        if (selected > 0)
            form->lvwFileList->topLevelItem(selected - 1)->setSelected(true);
        mciService->clearLog();
    }

    QString selectedFile() const
    {
        const auto items = form->lvwFileList->selectedItems();
        return items.isEmpty() ? QString() : items.first()->text(0);
    }

    int quitCalls = 0;
};

} // namespace kbtest
