#include "ui/PowerTray.h"

#include "app/AppContext.h"
#include "app/NumberText.h"
#include "mci/DeviceModes.h"
#include "mci/MessageHook.h"
#include "ui/LedLabel.h"
#include "ui/PowerTraySignals.h"
#include "ui/SkinButton.h"
#include "ui/SkinOption.h"
#include "ui/Volume.h"
#include "ui/WinMM.h"
#include "ui/frmMedia.h"

#include <QCoreApplication>
#include <QStringEncoder>
#include <QSystemTrayIcon>

PowerTray::PowerTray(AppContext& ctx, frmMedia& form, MessageHook& hook)
    : quitApplication([] { QCoreApplication::quit(); }), ctx_(ctx), form_(form), hook_(hook)
{
}

PowerTray::~PowerTray() = default;

void PowerTray::connectTo(frmMedia& form)
{
    form.addTrayIcon = [this] { addTrayIcon(); };
    form.powerOff = [this] { cmdPower_Click(); };
    QObject::connect(form.cmdPower, &QAbstractButton::clicked, &form, [this] { cmdPower_Click(); });
    QObject::connect(form.cmdIcon, &QAbstractButton::clicked, &form, [this] { cmdIcon_Click(); });
    QObject::connect(form.mnuOptionTaskTray, &QAction::triggered, &form, [this] { mnuOptionTaskTray_Click(); });
    // The tip follows everything it is made of: the read-out, the mode, the time type and
    // the titles (a notification area gives no hover event to rebuild it on).
    QObject::connect(form.timCD, &QTimer::timeout, &form, [this] { updateTip(); });
    for (LedLabel* source : {form.lblTrackNo, form.lblTime, form.Label1[1], form.Label1[2]})
        QObject::connect(source, &LedLabel::captionChanged, &form, [this] { updateTip(); });
    QObject::connect(&form, &frmMedia::titlesShown, &form, [this] { updateTip(); });
    form.installEventFilter(this);
    signals_ = std::make_unique<TerminationSignals>([this] { cmdPower_Click(); });
}

bool PowerTray::eventFilter(QObject* watched, QEvent* event)
{
    // A close by the window system ends the player the same way the power button does.
    if (watched == &form_ && event->type() == QEvent::Close && !poweredOff_)
        cmdPower_Click();
    return false;
}

void PowerTray::cmdPower_Click()
{
    if (poweredOff_)
        return;
    poweredOff_ = true;
    PlayerState& s = ctx_.state;
    ModMci& mci = ctx_.mci;

    hook_.remove();
    form_.timCD->setInterval(0);
    form_.timCD->stop();
    form_.timScroll->stop();
    if (!form_.isMinimized()) {
        s.OptTop = QString::number(form_.Top());
        s.OptLeft = QString::number(form_.Left());
    }
    s.OptMedia = form_.modes->GetDeviceName();
    ctx_.settings.SaveOptions(s);
    s.PlayFromTrackStart = false;
    for (SkinButton* b : {form_.cmdPlay, form_.cmdPause, form_.cmdStop, form_.cmdTop, form_.cmdPrev,
                          form_.cmdNext, form_.cmdBottom})
        b->setEnabled(false);

    mci.MciSetTimeFormat(form_.SavedTimeFormat, s.MciAlias);
    mci.MciStop(s.MciAlias);
    mci.MciClose(s.MciAlias);
    // Power-off may run inside the icon's own signal (its menu's end item): the icon leaves the
    // notification area now and is deleted with the window, after that signal has returned.
    if (trayIcon_) {
        trayIcon_->hide();
        trayIcon_ = nullptr;
    }
    writeBackMutedVolume();

    form_.close();
    if (quitApplication)
        quitApplication();
}

void PowerTray::writeBackMutedVolume()
{
    const PlayerState& s = ctx_.state;
    if (s.MutedVolume == 0 || !ctx_.platform.audio)
        return;
    const uint32_t packed = Volume::packBoth(uint32_t(s.MutedVolume));
    const int16_t device = form_.optCdOrAux[0]->isChecked() ? s.CdAuxDevice : s.AuxInDevice;
    kb::ui::auxSetVolume(ctx_.platform.audio->levels(), uint32_t(device), packed);
}

void PowerTray::cmdIcon_Click()
{
    form_.setWindowState(form_.windowState() | Qt::WindowMinimized);
    // Without a tray icon a hidden window could not be brought back.
    if (trayIcon_)
        form_.hide();
}

void PowerTray::mnuOptionTaskTray_Click() { ctx_.state.OptTaskTray = "1"; }

void PowerTray::addTrayIcon()
{
    if (trayIcon_)
        return;
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        ctx_.state.OptTaskTray = "0";
        return;
    }
    trayIcon_ = new QSystemTrayIcon(form_.windowIcon(), &form_);
    tip_ = currentTip();
    trayIcon_->setToolTip(tip_);
    // Queued: the menu (whose end item removes the icon) then runs from the event loop, not
    // inside the mouse handler of the icon's own window.
    QObject::connect(
        trayIcon_, &QSystemTrayIcon::activated, &form_,
        [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::DoubleClick)
                picTray_MouseMove(0, 0, LeftDoubleClick, 0);
            else if (reason == QSystemTrayIcon::Context)
                picTray_MouseMove(0, 0, RightDown, 0);
        },
        Qt::QueuedConnection);
    trayIcon_->show();
}

QString PowerTray::currentTip() const
{
    return cutToTipField(trayTipText(ctx_.state, form_.lblTrackNo->caption(), form_.lblTime->caption()));
}

void PowerTray::updateTip()
{
    if (poweredOff_)
        return;
    QString tip = currentTip();
    if (tip == tip_)
        return;
    tip_ = std::move(tip);
    if (trayIcon_)
        trayIcon_->setToolTip(tip_);
}

void PowerTray::picTray_MouseMove(int, int, int x, int)
{
    switch (x) {
    case MouseMove:
        updateTip();
        break;
    case LeftDoubleClick:
        if (ctx_.state.OptTaskTray == "0" || !form_.isMinimized())
            break;
        form_.setWindowState(form_.windowState() & ~Qt::WindowMinimized);
        form_.setVisible(true);
        break;
    case RightDown:
        if (trayMenuOpen_)
            break;
        trayMenuOpen_ = true;
        if (form_.isVisible())
            form_.activateWindow();
        QCoreApplication::processEvents();
        form_.mnuPopUpMotoSize->setEnabled(form_.isMinimized());
        if (form_.popupMenu)
            form_.popupMenu(form_.mnuPopUp);
        trayMenuOpen_ = false;
        break;
    default:
        break;
    }
}

QString PowerTray::trayTipText(const PlayerState& s, const QString& trackNoCaption,
                               const QString& timeCaption)
{
    if (s.OptTimeType == "TOTAL TIME")
        return "Total Time " + timeCaption;
    const QString two = trackNoCaption.left(2);
    const int n = int(kb::numtext::leadingNumber(two));
    if (n < 0 || n > s.TrackTitles.size() - 1 || n == 88)
        return QStringLiteral("Kobaltune");
    const QString& title = s.TrackTitles[n];
    if (!title.trimmed().isEmpty())
        return "[" + two + "] \"" + title + "\" ";
    return "[" + two + "] " + QStringLiteral("(未登録) ");
}

QString PowerTray::cutToTipField(const QString& text)
{
    QStringEncoder encoder("Shift_JIS");
    if (!encoder.isValid())
        return text.left(kTipBytes);
    QString fitted;
    int bytes = 0;
    for (int i = 0; i < text.size(); ++i) {
        const int step = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString ch = text.mid(i, step);
        const int size = int(QByteArray(encoder.encode(ch)).size());
        if (bytes + size > kTipBytes)
            break;
        bytes += size;
        fitted += ch;
        i += step - 1;
    }
    return fitted;
}
