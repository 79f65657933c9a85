#include "playback/StatusPollerInspect.h"

#include "app/AppContext.h"
#include "mci/DeviceModes.h"
#include "ui/LedLabel.h"
#include "ui/PictureBox.h"
#include "ui/PowerTray.h"
#include "ui/SkinButton.h"
#include "ui/frmMedia.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QListWidget>
#include <QJsonObject>
#include <QFile>

#include <cstdio>

namespace {

// The share of a picture's pixels that are not black.
double litShare(const QImage& image)
{
    if (image.isNull())
        return 0;
    const QImage small = image.scaled(64, 64).convertToFormat(QImage::Format_RGB32);
    int lit = 0;
    for (int y = 0; y < small.height(); ++y) {
        for (int x = 0; x < small.width(); ++x)
            lit += qGray(small.pixel(x, y)) > 24 ? 1 : 0;
    }
    return double(lit) / (small.width() * small.height());
}

} // namespace

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

void StatusPollerInspect::addFileList(QJsonObject& o) const
{
    const QTreeWidget& list = *form_.lvwFileList;
    o["files"] = list.topLevelItemCount();
    int selected = 0;
    for (int i = 0; i < list.topLevelItemCount() && !selected; ++i) {
        if (list.topLevelItem(i)->isSelected())
            selected = i + 1;
    }
    o["selected"] = selected;
    // Where a click lands on the second item, in window coordinates.
    if (list.topLevelItemCount() > 1) {
        const QRect r = list.visualItemRect(list.topLevelItem(1));
        const QPoint at = list.viewport()->mapTo(&form_, QPoint(r.left() + 24, r.center().y()));
        o["item2x"] = at.x();
        o["item2y"] = at.y();
    }
    const QWidget* modal = QApplication::activeModalWidget();
    o["dialog"] = modal ? modal->windowTitle() : QString();
    if (form_.context().state.CurDeviceType == "avivideo")
        o["videoLit"] = litShare(form_.picVideo->grab().toImage());
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
    addFileList(o);
    o["x"] = form_.x();
    o["y"] = form_.y();
    o["minimized"] = form_.isMinimized();
    o["visible"] = form_.isVisible();
    o["strip"] = form_.picCenter->printedText();
    o["trayMenu"] = form_.powerTray && form_.powerTray->TrayMenuOpen();
    QJsonArray songs;
    for (const QAction* item : form_.mnuPopUpAllSongs)
        songs.append(item->text());
    o["allSongs"] = songs;
    writeModal(o);
    const QByteArray text = QJsonDocument(o).toJson(QJsonDocument::Compact);
    if (text == written_)
        return;
    // Replaced whole by a rename so a reader never sees half a file; a test's snapshot
    // needs no flush to disk, which would cost the measured player a disk write each time.
    const QString temporary = path_ + QStringLiteral(".new");
    QFile file(temporary);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size())
        return;
    file.close();
    if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path_).constData()) == 0)
        written_ = text;
}

void StatusPollerInspect::writeModal(QJsonObject& o) const
{
    // The dialog in front, its list's entries and where they are, so a test can click them.
    QWidget* modal = QApplication::activeModalWidget();
    o["modal"] = modal ? modal->objectName() : QString();
    if (!modal)
        return;
    o["modalTitle"] = modal->windowTitle();
    const auto* list = modal->findChild<QListWidget*>();
    if (!list)
        return;
    QJsonArray entries;
    for (int i = 0; i < list->count(); ++i) {
        const QPoint at = list->viewport()->mapTo(modal, list->visualItemRect(list->item(i)).center());
        entries.append(QJsonObject{{"text", list->item(i)->text()}, {"x", at.x()}, {"y", at.y()}});
    }
    o["modalList"] = entries;
}
