#include "mci/MessageHook.h"

#include "app/AppContext.h"
#include "mci/DeviceModes.h"
#include "platform/cdrom/DriveTable.h"
#include "platform/mci/MciService.h"
#include "playback/TrackGrid.h"
#include "ui/SkinButton.h"
#include "ui/frmMedia.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWindow>

MessageHook::MessageHook(AppContext& ctx, frmMedia& form) : ctx_(ctx), form_(form) {}

MessageHook::~MessageHook() { remove(); }

void MessageHook::connectTo(frmMedia& form)
{
    form.installMessageHook = [this] { install(); };
}

void MessageHook::install()
{
    if (installed_ || removed_)
        return;
    installed_ = true;
    // On the application: a drag may start with a press on a label, which the label keeps.
    qApp->installEventFilter(this);
    if (ctx_.platform.drives)
        ctx_.platform.drives->addEventReceiver(&form_);
}

void MessageHook::remove()
{
    if (!installed_)
        return;
    installed_ = false;
    removed_ = true;
    qApp->removeEventFilter(this);
    if (ctx_.platform.drives)
        ctx_.platform.drives->removeEventReceiver(&form_);
}

QString MessageHook::mode() const
{
    return ctx_.mci.MciStatus("status " + ctx_.state.MciAlias + " mode");
}

bool MessageHook::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress && watched->isWidgetType()
        && static_cast<QWidget*>(watched)->window() == &form_) {
        const auto* e = static_cast<QMouseEvent*>(event);
        pressOffset_ = e->globalPosition().toPoint() - form_.pos();
    }
    if (watched != &form_)
        return false;
    if (handling_) {
        if (event->type() == kb::cdrom::DeviceChangeEvent::type())
            deferredDeviceChanges_.push_back(static_cast<kb::cdrom::DeviceChangeEvent*>(event)->code());
        return false;
    }
    handling_ = true;
    handle(event);
    for (size_t i = 0; i < deferredDeviceChanges_.size(); ++i)
        onDeviceChange(deferredDeviceChanges_[i]);
    deferredDeviceChanges_.clear();
    handling_ = false;
    return false;
}

void MessageHook::handle(QEvent* event)
{
    if (event->type() == kb::mci::MciNotifyEvent::type()) {
        onMciNotify();
    } else if (event->type() == kb::cdrom::DeviceChangeEvent::type()) {
        onDeviceChange(static_cast<kb::cdrom::DeviceChangeEvent*>(event)->code());
    } else if (event->type() == QEvent::MouseMove) {
        const auto* e = static_cast<QMouseEvent*>(event);
        // Left button alone, no other button and no modifier key.
        if (e->buttons() == Qt::LeftButton && e->modifiers() == Qt::NoModifier)
            onSurfaceDrag(e->globalPosition().toPoint());
    }
}

void MessageHook::onSurfaceDrag(const QPoint& globalPos)
{
    QWindow* window = form_.windowHandle();
    if (window && window->startSystemMove())
        return;
    // No window manager to run the move: follow the pointer ourselves.
    form_.move(globalPos - pressOffset_);
}

void MessageHook::onDeviceChange(unsigned code)
{
    PlayerState& s = ctx_.state;
    if (code == kb::cdrom::kDeviceArrival) {
        if (mode() != "playing") {
            s.TrackCount = ctx_.mci.MciGetTrackCount(s.MciAlias);
            form_.grid->RefreshTrackGrid();
            form_.modes->ShowReadyState();
        }
        if (s.OptAutoRun != "0")
            emit form_.cmdPlay->clicked();
    } else if (code == kb::cdrom::kDeviceRemoveComplete) {
        if (mode() != "playing") {
            s.TrackCount = "0";
            form_.grid->RefreshTrackGrid();
            form_.modes->ShowNoMediaState();
        }
    }
}

void MessageHook::onMciNotify()
{
    PlayerState& s = ctx_.state;
    if (s.CurDeviceType == "cdaudio" && mode() != "playing"
        && ctx_.mci.MciGetMediaPresent(s.MciAlias) == "true") {
        s.TrackCount = ctx_.mci.MciGetTrackCount(s.MciAlias);
        form_.grid->RefreshTrackGrid();
        form_.modes->ShowReadyState();
    }
    if (s.OpenPending) {
        form_.timCD->start();
        s.OpenPending = false;
    }
}
