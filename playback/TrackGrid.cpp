#include "playback/TrackGrid.h"

#include "app/AppContext.h"
#include "app/NumberText.h"
#include "mci/DeviceModes.h"
#include "playback/RepeatOrder.h"
#include "playback/TimeDisplay.h"
#include "titles/TitleStore.h"
#include "ui/LedLabel.h"
#include "ui/frmMedia.h"

#include <QCoreApplication>

namespace {

QString twoDigits(int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); }

constexpr uint32_t kGreen = 0x00FF00;
constexpr uint32_t kYellow = 0x00FFFF;

} // namespace

int TrackGrid::gridCount() const
{
    const auto n = kb::numtext::toInt32(ctx_.state.TrackCount);
    if (!n || *n < 0)
        return 0;
    return std::min(*n, kCells);
}

void TrackGrid::RefreshTrackGrid()
{
    PlayerState& s = ctx_.state;
    const int n = gridCount();

    for (int k = 0; k < kCells; ++k) {
        LedLabel* cell = form_.lblTracks[size_t(k)];
        cell->setEnabled(false);
        cell->setCaption(twoDigits(k + 1));
        cell->setToolTip(QString());
    }
    while (form_.mnuPopUpAllSongs.size() > 1) {
        QAction* item = form_.mnuPopUpAllSongs.takeLast();
        form_.mnuPopUpAllSong->removeAction(item);
        item->deleteLater();
    }
    QAction* first = form_.mnuPopUpAllSongs[0];
    first->setText(QStringLiteral("なし"));
    first->setEnabled(false);

    QCoreApplication::processEvents();
    HighlightTrack(0);

    if (s.CurDeviceType == "cdaudio") {
        form_.timeDisplay->ShowTotalLength();
        const QString key = form_.titles->GetCdIdentityKey();
        if (!key.isEmpty())
            form_.titles->LoadCdTitles(key);
        for (int t = 1; t <= n; ++t) {
            LedLabel* cell = form_.lblTracks[size_t(t - 1)];
            cell->setEnabled(true);
            cell->setToolTip(QStringLiteral("ﾀﾞｲﾚｸﾄ選曲(%1曲目)").arg(t));
            if (t > 1)
                form_.mnuPopUpAllSongs.append(form_.mnuPopUpAllSong->addAction(QString()));
            QAction* item = form_.mnuPopUpAllSongs[t - 1];
            if (key.isEmpty()) {
                item->setText(QStringLiteral("なし"));
                item->setEnabled(false);
                continue;
            }
            const QString title = t < s.TrackTitles.size() ? s.TrackTitles[t] : QString();
            item->setText(title.trimmed().isEmpty() ? "Tr" + twoDigits(t) + ". (未登録)"
                                                    : "Tr" + twoDigits(t) + ". " + title);
            item->setEnabled(true);
        }
    } else if (s.CurDeviceType == "avivideo" || s.CurDeviceType == "waveaudio"
               || s.CurDeviceType == "sequencer") {
        form_.timeDisplay->ShowTotalLength();
    }
    emit form_.titlesShown();
    QCoreApplication::processEvents();
}

void TrackGrid::HighlightTrack(int16_t track)
{
    if (track == ctx_.state.LastTrack)
        return;
    const int n = gridCount();
    for (int t = 1; t <= n; ++t)
        form_.lblTracks[size_t(t - 1)]->setForeColor(track != 0 && t == track ? kGreen : kYellow);
}

void TrackGrid::lblTracks_Click(int index)
{
    if (index < 0 || index >= kCells)
        return;
    const QString caption = form_.lblTracks[size_t(index)]->caption().trimmed();
    if (caption.isEmpty() || kb::numtext::leadingNumber(caption) == 0)
        return;
    PlayerState& s = ctx_.state;
    ctx_.mci.MciPlayTrack(index + 1, s.MciAlias);
    form_.repeat->UpdateRepeatOneTrack();
    form_.timCD->start();
    s.PlayFromTrackStart = true;
    s.PollSuspended = false;
    form_.modes->ShowPlayingState();
}

void TrackGrid::mnuPopUpAllSongs_Click(int index) { lblTracks_Click(index); }
