#include "playback/StatusPollerInspect.h"

#include "app/AppContext.h"
#include "mci/DeviceModes.h"
#include "ui/LedLabel.h"
#include "ui/SkinButton.h"
#include "ui/frmMedia.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

StatusPollerInspect::StatusPollerInspect(frmMedia& form, QString path)
    : form_(form), path_(std::move(path))
{
    timer_.setInterval(200);
    connect(&timer_, &QTimer::timeout, this, [this] { writeSnapshot(); });
    timer_.start();
}

std::unique_ptr<StatusPollerInspect> StatusPollerInspect::fromEnvironment(frmMedia& form)
{
    const QString path = qEnvironmentVariable("KOBALTUNE_INSPECT");
    if (path.isEmpty())
        return nullptr;
    return std::make_unique<StatusPollerInspect>(form, path);
}

void StatusPollerInspect::writeSnapshot()
{
    const PlayerState& s = form_.context().state;
    QJsonObject o;
    o["device"] = form_.Label1[1]->caption();
    o["trackNo"] = form_.lblTrackNo->caption();
    o["time"] = form_.lblTime->caption();
    o["allTime"] = form_.lblAllTime->caption();
    o["trackCount"] = s.TrackCount;
    o["pollSuspended"] = s.PollSuspended;
    o["playFromTrackStart"] = s.PlayFromTrackStart;
    o["timCD"] = form_.timCD->isActive();
    o["pauseShown"] = !form_.lblPause->isHidden();
    o["play"] = form_.cmdPlay->isEnabled();
    o["pause"] = form_.cmdPause->isEnabled();
    o["stop"] = form_.cmdStop->isEnabled();
    o["next"] = form_.cmdNext->isEnabled();
    o["eject"] = form_.cmdEject->isEnabled();
    o["ready"] = form_.readyForInput();
    o["x"] = form_.x();
    o["y"] = form_.y();
    QSaveFile file(path_);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(QJsonDocument(o).toJson(QJsonDocument::Compact));
        file.commit();
    }
}
