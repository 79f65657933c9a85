#pragma once

#include "app/AppContext.h"
#include "app/PlayerState.h"
#include "app/Settings.h"
#include "mci/modMci.h"
#include "platform/audio/AudioEngine.h"
#include "platform/engine/Platform.h"
#include "tests/support/ScriptedMciService.h"
#include "tests/support/TempDir.h"
#include "ui/frmMedia.h"

#include <QMenu>
#include <QStringList>

#include <memory>

namespace kbtest {

// The main window on a scripted media control service, a null sound output and a real
// settings file in a temp folder. Options start at the settings file's defaults for a
// first run in CD mode with drive D:. Call load() (Form_Load + Form_Activate) after
// adjusting state or the script.
class PanelFixture {
public:
    PanelFixture()
        : settings(dir.file("Kobaltune.ini"), dir.path() + "/")
    {
        state.CurCdDrive = "D:";
        state.CdDrives = QStringList{QString(), "D:"};
        state.CurCdDriveIndex = 1;
        state.OptTemae = "0";
        state.OptTimeType = "SINGLE TIME";
        state.OptRepeat = "OFF";
        state.OptTop = "100";
        state.OptLeft = "100";
        state.OptMedia = "CD";
        state.OptAutoRun = "0";
        state.OptTaskTray = "0";

        kb::audio::SinkChoice sink;
        sink.kind = kb::audio::SinkChoice::Kind::Null;
        platform.audio = kb::audio::AudioEngine::create(sink);
        auto service = std::make_unique<ScriptedMciService>();
        mciService = service.get();
        platform.mci = std::move(service);
        mci = std::make_unique<ModMci>(state, *mciService);
        ctx = std::make_unique<AppContext>(AppContext{state, *mci, settings, platform});
        form = std::make_unique<frmMedia>(*ctx);
        mci->setCallbackWindow(form.get());
        form->popupMenu = [this](QMenu* m) { poppedUp << m; };
    }

    // Script a CD with `tracks` tracks, identity `identity` and the given length reply.
    void scriptDisc(int tracks, const std::string& identity = "305419896",
                    const std::string& length = "48:12:40")
    {
        mciService->answer("status 2 media present", "true");
        mciService->answer("status 2 number of tracks", std::to_string(tracks));
        mciService->answer("info 2 identity", identity);
        mciService->answer("status 2 length", length);
        mciService->answer("status 2 current track", "1");
        mciService->answer("status 2 time format", "msf");
    }

    void load()
    {
        form->Form_Load();
        form->Form_Activate();
    }

    kb::audio::OutputLevels& levels() { return platform.audio->levels(); }
    QStringList commands() const { return mciService->commands(); }

    TempDir dir;
    PlayerState state;
    Settings settings;
    kb::platform::Platform platform;
    ScriptedMciService* mciService = nullptr;
    std::unique_ptr<ModMci> mci;
    std::unique_ptr<AppContext> ctx;
    std::unique_ptr<frmMedia> form;
    QList<QMenu*> poppedUp;
};

} // namespace kbtest
