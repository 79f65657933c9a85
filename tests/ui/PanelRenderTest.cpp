#include "PanelFixture.h"

#include "mci/DeviceModes.h"
#include "playback/TimeDisplay.h"
#include "playback/TrackGrid.h"
#include "ui/LedLabel.h"
#include "ui/PictureBox.h"
#include "ui/VolumeBar.h"

#include <QDir>
#include <QImage>

#include <gtest/gtest.h>

using kbtest::PanelFixture;

namespace {

// Renders the panel in each mode to PNG files under <build>/screenshots/panel (kept for
// looking at), and checks the window came up complete.
QString shotDir()
{
    const QString dir = kbtest::binaryDir() + "/screenshots/panel";
    QDir().mkpath(dir);
    return dir;
}

bool hasVariedPixels(const QImage& img)
{
    const QRgb first = img.pixel(0, 0);
    for (int y = 0; y < img.height(); y += 7)
        for (int x = 0; x < img.width(); x += 7)
            if (img.pixel(x, y) != first)
                return true;
    return false;
}

TEST(PanelRender, WindowIsCompleteAndModesRenderAtTheirSizes)
{
    PanelFixture f;
    EXPECT_EQ(f.form->creationError(), 0) << f.form->creationErrorDescription().toStdString();
    f.scriptDisc(12, "1715004");
    f.settings.WriteIni("1A2B3C", "AlbumTitle", "Live at the Hall");
    f.settings.WriteIni("1A2B3C", "NameOfArtist", "The Quartet");
    f.settings.WriteIni("1A2B3C", "TitleOfTrack3", "夜想曲");
    f.load();
    f.form->hscVolume[0]->setValue(21000);
    f.form->modes->ShowPlayingState();
    f.state.LastTrack = 0;
    f.form->grid->HighlightTrack(3);
    f.form->lblTrackNo->setCaption(TimeDisplay::cdTrackNumberText("3"));
    f.form->lblTime->setCaption("02:47");
    f.form->modes->ShowCenterText("The Quartet - Live at the Hall");
    f.form->picCenter->setLeft(200);
    const QImage cd = f.form->grab().toImage();
    EXPECT_EQ(cd.size(), f.form->size());
    EXPECT_TRUE(hasVariedPixels(cd));
    cd.save(shotDir() + "/cd.png");

    f.form->modes->mnuDeviceWAV_Click();
    for (const char* name : {"/music/01 overture.wav", "/music/02 aria.wav", "/music/03 finale.wav"}) {
        auto* item = new QTreeWidgetItem(QStringList{name, "1,024KB", "WAVE ｻｳﾝﾄﾞ", "2024/05/01 12:00", "A", "01OVER~1.WAV"});
        f.form->lvwFileList->addTopLevelItem(item);
    }
    f.form->lvwFileList->topLevelItem(1)->setSelected(true);
    const QImage wave = f.form->grab().toImage();
    EXPECT_GT(wave.width(), cd.width());
    wave.save(shotDir() + "/wave.png");

    f.form->modes->mnuDeviceAVI_Click();
    const QImage video = f.form->grab().toImage();
    EXPECT_GT(video.height(), wave.height());
    video.save(shotDir() + "/video.png");
}

} // namespace
