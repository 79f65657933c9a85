#include "app/Startup.h"

#include "app/NumberText.h"
#include "app/Openning.h"
#include "app/Toolkit.h"
#include "platform/cdrom/DriveTable.h"
#include "ui/frmMedia.h"

namespace kb::app {

namespace {

void initialiseState(PlayerState& s)
{
    s.PollSuspended = false;
    s.LastTrack = 0;
    s.MciAlias = QStringLiteral("2");
    s.CurTrack = 1;
    s.CurDeviceType = QStringLiteral("cdaudio");
    s.PlayFromTrackStart = true;
    s.TrackCount = QString();
    s.TitleCycle = 0;
    s.CurCdDriveIndex = 0;
    s.TrackTitles = QStringList{QString()};
}

int twipsOption(const QString& value) { return kb::numtext::toInt32(value).value_or(0); }

} // namespace

void FindCdDrives(PlayerState& state, const kb::cdrom::DriveTable& drives)
{
    state.CdDrives = QStringList{QString()};
    int found = 0;
    for (const auto& entry : drives.drives()) {
        if (entry.type != kb::cdrom::kDriveTypeCdrom)
            continue;
        const QString name = QString::fromStdString(entry.name).left(2).toUpper();
        if (found == 0)
            state.CdDrives[0] = name;
        else
            state.CdDrives.append(name);
        ++found;
    }
}

std::unique_ptr<frmMedia> Main(AppContext& ctx, const StartupServices& services)
{
    if (services.previousInstance)
        return nullptr;

    PlayerState& s = ctx.state;
    initialiseState(s);
    FindCdDrives(s, services.drives);
    if (s.CdDrives.value(0).isEmpty()) {
        services.message(kNoDriveMessage, QMessageBox::Critical);
        return nullptr;
    }

    // Made topmost before it is first shown, so that it is mapped once, already on top.
    auto splash = std::make_unique<Openning>();
    setTopmost(splash.get(), true);
    splash->show();
    DoEvents();

    ctx.settings.LoadOptions(s);

    // A window whose components could not be created never loads and is never shown: the
    // message below is the first thing the user sees of it.
    auto window = services.createWindow ? services.createWindow(ctx) : std::make_unique<frmMedia>(ctx);
    const bool created = window->creationError() == 0;
    if (created) {
        ctx.mci.setCallbackWindow(window.get());
        window->Form_Load();
        window->move(twipsToPixelsX(twipsOption(s.OptLeft)), twipsToPixelsY(twipsOption(s.OptTop)));
        window->show();
    }
    DoEvents();

    if (!created) {
        setTopmost(splash.get(), false);
        splash.reset();
        services.message(kRuntimeMissingMessage + QStringLiteral("\r\n\r\n詳細\r\n") +
                             window->creationErrorDescription(),
                         QMessageBox::Critical);
        return nullptr;
    }

    setTopmost(splash.get(), false);
    if (s.OptTemae == QLatin1String("0")) {
        window->mnuOptionTemae->setChecked(false);
    } else {
        window->mnuOptionTemae->setChecked(true);
        setTopmost(window.get(), true);
    }
    window->mnuOptionAutoRun->setChecked(s.OptAutoRun != QLatin1String("0"));

    DoEvents();
    splash.reset();
    return window;
}

} // namespace kb::app
