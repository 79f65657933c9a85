#include "../ui/PanelFixture.h"

#include "titles/TitleStore.h"

#include <QFile>

#include <gtest/gtest.h>

using kbtest::PanelFixture;

namespace {

TEST(TitleStoreKey, IdentityBecomesUpperCaseHexOfASigned32BitNumber)
{
    EXPECT_EQ(TitleStore::keyFromIdentity("255"), "FF");
    EXPECT_EQ(TitleStore::keyFromIdentity("0"), "0");
    EXPECT_EQ(TitleStore::keyFromIdentity("2147483647"), "7FFFFFFF");
    EXPECT_EQ(TitleStore::keyFromIdentity("-1"), "FFFFFFFF");
    EXPECT_EQ(TitleStore::keyFromIdentity("2147483648"), "");
    EXPECT_EQ(TitleStore::keyFromIdentity("disc"), "");
    EXPECT_EQ(TitleStore::keyFromIdentity(""), "");
}

TEST(TitleStoreKey, FailedIdentityQueryGivesNoKey)
{
    PanelFixture f;
    f.mciService->answer("info 2 identity", "1715004");
    EXPECT_EQ(f.form->titles->GetCdIdentityKey(), "1A2B3C");
    EXPECT_EQ(f.commands().last(), "info 2 identity");
    f.mciService->answer("info 2 identity", 263, "");
    EXPECT_EQ(f.form->titles->GetCdIdentityKey(), "");
}

TEST(TitleStore, RecordRoundTripsThroughTheSettingsFileInItsLayout)
{
    PanelFixture f;
    f.state.TrackCount = "2";
    f.state.CdAlbumTitle = "Live at the Hall";
    f.state.CdArtistName = "The Quartet";
    f.state.TrackTitles = QStringList{"", "Opening", "Second Movement"};
    f.state.TitleFontSize = "9";
    f.state.TitleFontName = "Times New Roman";
    f.state.TitleFontExt = "1000";
    f.form->titles->SaveCdTitles("1A2B3C");

    QFile file(f.settings.filePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll()).remove('\r');
    EXPECT_TRUE(text.contains("[1A2B3C]\nAlbumTitle=Live at the Hall\nNameOfArtist=The Quartet\n"
                              "TitleOfTrack1=Opening\nTitleOfTrack2=Second Movement\nFontSize=9\n"
                              "FontName=Times New Roman\nFontExt=1000\n"))
        << text.toStdString();

    PanelFixture g;
    g.settings = Settings(f.settings.filePath(), f.dir.path() + "/");
    g.state.TrackCount = "12";
    g.form->titles->LoadCdTitles("1A2B3C");
    EXPECT_EQ(g.state.CdAlbumTitle, "Live at the Hall");
    EXPECT_EQ(g.state.CdArtistName, "The Quartet");
    ASSERT_EQ(g.state.TrackTitles.size(), 13);
    EXPECT_EQ(g.state.TrackTitles[2], "Second Movement");
    EXPECT_EQ(g.state.TrackTitles[12], "");
    EXPECT_EQ(g.state.TitleFontExt, "1000");
}

TEST(TitleStore, MissingAndBlankValuesLoadAsDefaults)
{
    PanelFixture f;
    f.settings.WriteIni("ABC", "AlbumTitle", "   ");
    f.settings.WriteIni("ABC", "TitleOfTrack1", "  Padded  ");
    f.state.TrackCount = "3";
    f.state.CdAlbumTitle = "previous";
    f.form->titles->LoadCdTitles("ABC");
    EXPECT_EQ(f.state.CdAlbumTitle, "");
    EXPECT_EQ(f.state.CdArtistName, "");
    EXPECT_EQ(f.state.TrackTitles, (QStringList{"", "Padded", "", ""}));
    EXPECT_EQ(f.state.TitleFontSize, "9");
    EXPECT_EQ(f.state.TitleFontName, "Times New Roman");
    EXPECT_EQ(f.state.TitleFontExt, "0000");
}

TEST(TitleStore, SavingWithoutATrackCountWritesNoTrackKeysAndKeepsOlderOnes)
{
    PanelFixture f;
    f.settings.WriteIni("77", "TitleOfTrack9", "kept");
    f.state.TrackCount = "";
    f.state.TrackTitles = QStringList{"", "one"};
    f.state.CdAlbumTitle = "A";
    f.form->titles->SaveCdTitles("77");
    EXPECT_EQ(f.settings.ReadIni("77", "AlbumTitle"), "A");
    EXPECT_EQ(f.settings.ReadIni("77", "TitleOfTrack1"), "");
    EXPECT_EQ(f.settings.ReadIni("77", "TitleOfTrack9"), "kept");
    EXPECT_EQ(f.settings.ReadIni("77", "FontExt"), "");

    f.state.TrackCount = "5"; // more tracks than titles: the missing ones are skipped
    f.form->titles->SaveCdTitles("77");
    EXPECT_EQ(f.settings.ReadIni("77", "TitleOfTrack1"), "one");
}

} // namespace
