#include "../ui/PanelFixture.h"

#include "tests/support/DialogDriver.h"
#include "tests/support/Eventually.h"
#include "titles/TitleEditing.h"
#include "titles/TitleStore.h"
#include "titles/frmEdit.h"
#include "ui/ListBox.h"
#include "playback/TimeDisplay.h"
#include "ui/LedLabel.h"
#include "ui/PictureBox.h"
#include "ui/SkinButton.h"

#include <QPushButton>

#include <QFile>
#include <QMap>
#include <QFontDialog>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

using kbtest::PanelFixture;

namespace {

// The key of the scripted identity 305419896.
const QString kKey = QStringLiteral("12345678");

// A panel in CD mode with a disc of `tracks` tracks, ready for a click on the title strip.
struct EditorFixture : PanelFixture {
    explicit EditorFixture(int tracks = 12)
    {
        scriptDisc(tracks);
        load();
    }

    // Clicks the strip; `work` runs while the editor is open, in place of the user.
    void clickStrip(const std::function<void(frmEdit&)>& work)
    {
        form->titleEditing->showModal = [this, work](frmEdit& d) {
            opened = true;
            timersWhileOpen = form->timCD->isActive() || form->timScroll->isActive();
            d.show();
            kbtest::eventually([&] { return d.FirstActivated; }, 5000);
            work(d);
        };
        QTest::mouseClick(form->picCenter, Qt::LeftButton, {}, QPoint(2, 2));
    }

    // Stores a record with an album title and the given track titles (1-based, the rest "").
    void storeRecord(const QMap<int, QString>& titles)
    {
        state.TrackCount = "12";
        state.CdAlbumTitle = "Album";
        state.TrackTitles = QStringList{""};
        for (int i = 1; i <= 12; ++i)
            state.TrackTitles << titles.value(i);
        state.TitleFontSize = "9";
        state.TitleFontName = "Times New Roman";
        state.TitleFontExt = "0000";
        form->titles->SaveCdTitles(kKey);
    }

    QString fileText() const
    {
        QFile file(settings.filePath());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    bool opened = false;
    bool timersWhileOpen = true;
};

QPoint entryCenter(ListBox* list, int row) { return list->visualItemRect(list->item(row)).center(); }

void doubleClickEntry(ListBox* list, int row)
{
    const QPoint at = entryCenter(list, row);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

void clickEntry(ListBox* list, int row) { QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, entryCenter(list, row)); }

TEST(TitleEditor, ADiscWithoutRecordOpensEmptyWithTheAlbumBoxSelectedAndTimersStopped)
{
    EditorFixture f;
    QStringList entries;
    f.clickStrip([&](frmEdit& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("ｱﾙﾊﾞﾑ編集"));
        for (int i = 0; i < d.lstTracks->ListCount(); ++i)
            entries << d.lstTracks->List(i);
        EXPECT_EQ(d.lstTracks->ListIndex(), 0);
        EXPECT_TRUE(d.txtAlbumTitle->hasFocus());
        EXPECT_TRUE(d.txtTrack->text().isEmpty());
        EXPECT_EQ(d.cmdFont->toolTip(), QStringLiteral("ﾌｫﾝﾄ"));
        d.cmdCancel->click();
    });
    ASSERT_TRUE(f.opened);
    EXPECT_FALSE(f.timersWhileOpen);
    ASSERT_EQ(entries.size(), 12);
    EXPECT_EQ(entries.first(), "01 ");
    EXPECT_EQ(entries.last(), "12 ");
    EXPECT_TRUE(f.form->timCD->isActive());
    EXPECT_TRUE(f.form->timScroll->isActive());
    EXPECT_EQ(f.state.LastTrack, 0);
    EXPECT_FALSE(f.fileText().contains("[" + kKey + "]")) << "Cancel wrote the record";
}

TEST(TitleEditor, TheStripOpensNothingOutsideCdModeOrWithoutAKey)
{
    EditorFixture f;
    f.mciService->answer("info 2 identity", "2147483648");
    f.clickStrip([](frmEdit& d) { d.reject(); });
    EXPECT_FALSE(f.opened) << "a disc without a usable identity";

    f.mciService->answer("info 2 identity", "305419896");
    f.form->Label1[1]->setCaption("WAVE");
    f.clickStrip([](frmEdit& d) { d.reject(); });
    EXPECT_FALSE(f.opened) << "WAVE mode";

    f.form->Label1[1]->setCaption("CD D:");
    QTest::mouseClick(f.form->picFrame, Qt::LeftButton, {}, QPoint(1, 1));
    f.clickStrip([](frmEdit& d) { d.reject(); });
    EXPECT_TRUE(f.opened);
}

TEST(TitleEditor, RenamingRoadWritesTheClickedEntryAndEmptiesTheBox)
{
    EditorFixture f;
    f.storeRecord({{5, "Song"}});

    f.clickStrip([&](frmEdit& d) {
        ListBox* list = d.lstTracks;
        ASSERT_EQ(list->List(4), "05 Song");

        doubleClickEntry(list, 4);
        EXPECT_EQ(d.txtTrack->text(), "Song");
        d.txtTrack->setText("  New  ");
        clickEntry(list, 4);
        EXPECT_EQ(list->List(4), "05 New");
        EXPECT_TRUE(d.txtTrack->text().isEmpty());

        // Clicking another entry stores the edit there, numbered as that track.
        doubleClickEntry(list, 4);
        d.txtTrack->setText("Moved");
        clickEntry(list, 6);
        EXPECT_EQ(list->List(6), "07 Moved");
        EXPECT_EQ(list->List(4), "05 New");

        // The keyboard moving the selection stores too.
        d.txtTrack->setText("Keyed");
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Down);
        EXPECT_EQ(list->ListIndex(), 7);
        EXPECT_EQ(list->List(7), "08 Keyed");

        // Text left in the box at OK is not stored.
        d.txtTrack->setText("Lost");
        d.cmdOk->click();
    });
    EXPECT_EQ(f.state.TrackTitles.value(5), "New");
    EXPECT_EQ(f.state.TrackTitles.value(7), "Moved");
    EXPECT_EQ(f.state.TrackTitles.value(8), "Keyed");
    EXPECT_FALSE(f.fileText().contains("Lost"));
    EXPECT_TRUE(f.fileText().contains("TitleOfTrack8=Keyed"));
}

TEST(TitleEditor, OkStoresNinetyNineJapaneseTitlesWithTheirSpacesAndRefreshesTheGrid)
{
    EditorFixture f(99);
    f.clickStrip([&](frmEdit& d) {
        d.txtAlbumTitle->setText(QStringLiteral("  夜明けの駅  "));
        d.txtArtist->setText(QStringLiteral(" コバルト四重奏 "));
        for (int i = 0; i < 99; ++i)
            d.lstTracks->item(i)->setText(frmEdit::entryText(i + 1, QStringLiteral("第%1曲 ｶﾀｶﾅ").arg(i + 1)));
        d.cmdOk->click();
    });
    EXPECT_TRUE(f.state.TitleEditOk);
    const QString text = f.fileText();
    EXPECT_TRUE(text.contains(QStringLiteral("[12345678]\r\nAlbumTitle=  夜明けの駅  \r\n")) ||
                text.contains(QStringLiteral("[12345678]\nAlbumTitle=  夜明けの駅  \n")))
        << text.left(200).toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("TitleOfTrack99=第99曲 ｶﾀｶﾅ")));
    // RefreshTrackGrid reloaded the record: trimmed, and the submenu shows the titles.
    EXPECT_EQ(f.state.CdAlbumTitle, QStringLiteral("夜明けの駅"));
    EXPECT_EQ(f.state.CdArtistName, QStringLiteral("コバルト四重奏"));
    ASSERT_EQ(f.form->mnuPopUpAllSongs.size(), 30);
    EXPECT_EQ(f.form->mnuPopUpAllSongs[29]->text(), QStringLiteral("Tr30. 第30曲 ｶﾀｶﾅ"));
    EXPECT_EQ(f.state.TrackTitles.value(99), QStringLiteral("第99曲 ｶﾀｶﾅ"));
}

TEST(TitleEditor, FontChoiceAppliesAtOnceAndSurvivesCancelUntilTheRecordIsReloaded)
{
    EditorFixture f;
    f.storeRecord({});
    const QString before = f.fileText();

    f.clickStrip([&](frmEdit& d) {
        kbtest::whenShown<QFontDialog>([](QFontDialog& dialog) {
            QFont chosen(QStringLiteral("Liberation Sans"));
            chosen.setPointSize(14);
            chosen.setBold(true);
            chosen.setUnderline(true);
            dialog.setCurrentFont(chosen);
            dialog.accept();
        });
        d.cmdFont->click();
        EXPECT_EQ(d.txtAlbumTitle->font().family(), "Liberation Sans");
        EXPECT_TRUE(d.txtAlbumTitle->font().underline());
        d.cmdCancel->click();
    });
    EXPECT_EQ(f.state.TitleFontName, "Liberation Sans");
    EXPECT_EQ(f.state.TitleFontSize, "14");
    EXPECT_EQ(f.state.TitleFontExt, "1001");
    EXPECT_EQ(f.fileText(), before) << "Cancel wrote the font";
    f.form->timeDisplay->ApplyCdTitleFont();
    EXPECT_EQ(f.form->picCenter->fontName(), "Liberation Sans");

    // The next editing starts from the stored record: the font comes back.
    f.clickStrip([](frmEdit& d) { d.reject(); });
    EXPECT_EQ(f.state.TitleFontName, "Times New Roman");
    EXPECT_EQ(f.state.TitleFontExt, "0000");
}

TEST(TitleEditor, WithAlwaysOnTopTheDialogIsAboveAndTheWindowTopmostAfterwards)
{
    EditorFixture f;
    f.state.OptTemae = "1";
    bool dialogOnTop = false;
    frmEdit* shown = nullptr;
    f.clickStrip([&](frmEdit& d) {
        shown = &d;
        dialogOnTop = d.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        d.cmdOk->click();
        EXPECT_FALSE(d.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    });
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(dialogOnTop);
    EXPECT_TRUE(f.form->windowFlags().testFlag(Qt::WindowStaysOnTopHint));

    f.state.OptTemae = "0";
    f.clickStrip([&](frmEdit& d) {
        dialogOnTop = d.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        d.reject();
    });
    EXPECT_FALSE(dialogOnTop);
}

TEST(TitleEditor, RealModalRunClosesThroughItsButtons)
{
    EditorFixture f;
    int shown = 0;
    kbtest::whenShown<frmEdit>([](frmEdit& d) {
        d.txtArtist->setText("Artist");
        d.cmdOk->click();
    }, &shown);
    f.form->titleEditing->showModal = [](frmEdit& d) { d.exec(); };
    f.form->titleEditing->picCenter_Click();
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(f.fileText().contains("NameOfArtist=Artist"));
}

} // namespace
