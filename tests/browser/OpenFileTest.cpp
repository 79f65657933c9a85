#include "../playback/TransportFixture.h"

#include "browser/FileList.h"
#include "browser/OpenFile.h"
#include "mci/DeviceModes.h"
#include "ui/KeySink.h"
#include "ui/LedLabel.h"

#include "tests/support/DialogDriver.h"

#include <QComboBox>
#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

using namespace kbtest;

namespace {

class FileModes : public ::testing::Test {
protected:
    void enter(const QString& mode)
    {
        f.form->Label1[1]->setCaption(mode);
        if (mode == "VIDEO")
            f.form->modes->OpenVideoMode();
        else if (mode == "MIDI")
            f.form->modes->OpenMidiMode();
        else if (mode == "WAVE" || mode == "MP3")
            f.form->modes->OpenWaveMode(mode == "MP3");
        f.mciService->clearLog();
    }
    void touch(const QString& name)
    {
        QFile file(dir.file(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("data");
    }
    QString folder() const { return dir.path() + "/"; }
    QTreeWidget& list() { return *f.form->lvwFileList; }
    void clickItem(int row)
    {
        f.form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(f.form.get()));
        QTreeWidgetItem* item = list().topLevelItem(row);
        const QRect rect = list().visualItemRect(item);
        const QPoint at(rect.left() + 24, rect.center().y()); // on the name, which is wider than the list
        QTest::mouseClick(list().viewport(), Qt::LeftButton, {}, at);
    }

    TransportFixture f;
    TempDir dir;
};

TEST_F(FileModes, ListFolderFillsTheListAndSelectsTheFirstFile)
{
    touch("b.wav");
    touch("A.WAV");
    touch("c.mp3");
    enter("WAVE");
    f.form->fileList->ListFolder(folder());
    ASSERT_EQ(list().topLevelItemCount(), 2);
    EXPECT_EQ(list().topLevelItem(0)->text(0), folder() + "A.WAV");
    EXPECT_EQ(f.selectedFile(), folder() + "A.WAV");
    EXPECT_EQ(list().topLevelItem(0)->data(0, Qt::UserRole).toString(), "k.WAV");
    EXPECT_TRUE(f.mciService->commands().isEmpty()) << "listing opens nothing";
    EXPECT_GT(list().columnWidth(3), 0);

    f.form->fileList->ListFolder(folder() + "nothing-here/");
    EXPECT_EQ(list().topLevelItemCount(), 0);

    enter("CD");
    f.form->fileList->ListFolder(folder());
    EXPECT_EQ(list().topLevelItemCount(), 0);
}

TEST_F(FileModes, AMouseClickPlaysTheItemAndKeysDoNot)
{
    touch("a.wav");
    touch("b.wav");
    enter("WAVE");
    f.form->fileList->ListFolder(folder());

    // The keyboard moves the selection without opening anything.
    list().setFocus();
    QTest::keyClick(&list(), Qt::Key_Down);
    EXPECT_EQ(f.selectedFile(), folder() + "b.wav");
    QTest::keyClick(&list(), Qt::Key_Up);
    EXPECT_TRUE(f.mciService->commands().isEmpty());

    clickItem(1);
    EXPECT_EQ(f.selectedFile(), folder() + "b.wav");
    EXPECT_EQ(f.commands().mid(0, 4), (QStringList{"stop 2", "close 2", "open \"" + folder() + "b.wav\" alias 2 notify", "play 2"}));
    EXPECT_EQ(f.display(), "playing");
    EXPECT_EQ(f.state.TrackCount, "1");
    EXPECT_FALSE(f.state.PollSuspended);
    EXPECT_FALSE(f.state.FileListClicked);
}

TEST_F(FileModes, AClickInVideoModeShowsThePictureInThePanel)
{
    touch("a.avi");
    enter("VIDEO");
    f.form->fileList->ListFolder(folder());
    clickItem(0);
    const QStringList sent = f.commands();
    ASSERT_GE(sent.size(), 5);
    EXPECT_TRUE(sent[3].startsWith("window 2 handle ")) << sent.join(" | ").toStdString();
    EXPECT_EQ(sent[4], "put 2 destination at 0 0 213 213");
}

TEST_F(FileModes, TheOpenButtonListsThePickedFoldersFilesAndOpensTheFirst)
{
    touch("one.mpg");
    touch("TWO.AVI");
    touch("skip.wav");
    enter("VIDEO");
    f.state.PollSuspended = true;
    QString title, filter;
    int filters = 0;
    whenShown<QFileDialog>([&](QFileDialog& d) {
        title = d.windowTitle();
        auto* types = d.findChild<QComboBox*>("fileTypeCombo");
        filters = types->count();
        filter = types->currentText();
        d.setDirectory(dir.path());
        fileNameEdit(d)->setText("one.mpg");
        static_cast<QDialog&>(d).accept();
    });
    f.form->cmdOpen->click();

    EXPECT_EQ(title, QStringLiteral("VIDEOﾌｧｲﾙの参照"));
    EXPECT_EQ(filters, 1);
    EXPECT_EQ(filter, "Video Files (*.avi;*.mpeg;*.mpg;*.mpe;*.mpv;*.m1v;*.mp2;*.mpv2;*.mp2v;*.mpa)");
    EXPECT_EQ(f.state.OptFolderName, folder());
    ASSERT_EQ(list().topLevelItemCount(), 2);
    // The list's first file is opened, not the one picked.
    const QStringList sent = f.commands();
    ASSERT_GE(sent.size(), 3);
    EXPECT_EQ(sent.mid(0, 3), (QStringList{"stop 2", "close 2", "open \"" + folder() + "TWO.AVI\" alias 2 notify"}));
    EXPECT_EQ(f.mciService->countPrefix("play"), 0) << "nothing starts playing";
    EXPECT_EQ(f.mciService->countPrefix("put 2 destination"), 1);
    EXPECT_TRUE(f.state.OpenPending);
    EXPECT_FALSE(f.state.PollSuspended);
    EXPECT_EQ(f.display(), "ready");
    EXPECT_TRUE(f.form->txtDummy->hasFocus() || !f.form->isActiveWindow());
}

TEST_F(FileModes, CancelOrAFolderWithoutPlayableFilesLeavesTheDeviceAlone)
{
    touch("notes.txt");
    enter("MIDI");
    f.state.OptFolderName = "/before/";
    whenShown<QFileDialog>([](QFileDialog& d) { d.reject(); });
    f.form->cmdOpen->click();
    EXPECT_EQ(f.state.OptFolderName, "/before/");
    EXPECT_TRUE(f.mciService->commands().isEmpty());

    whenShown<QFileDialog>([&](QFileDialog& d) {
        fileNameEdit(d)->setText(dir.file("notes.txt"));
        static_cast<QDialog&>(d).accept();
    });
    f.form->cmdOpen->click();
    EXPECT_EQ(f.state.OptFolderName, folder());
    EXPECT_EQ(list().topLevelItemCount(), 0);
    EXPECT_TRUE(f.mciService->commands().isEmpty()) << "the device stays as it was";
}

TEST_F(FileModes, OpenMediaPathTakesAPathWithoutTheDialog)
{
    touch("a.mid");
    touch("b.rmi");
    enter("MIDI");
    f.state.PlayFromTrackStart = true;
    f.form->openFile->OpenMediaPath(dir.file("b.rmi"));
    EXPECT_EQ(list().topLevelItemCount(), 2);
    EXPECT_EQ(f.mciService->count(("open \"" + folder() + "a.mid\" alias 2 notify").toStdString()), 1);
    EXPECT_FALSE(f.state.PlayFromTrackStart);
}

TEST(OpenDialogTexts, TitlesAndFiltersPerMode)
{
    EXPECT_EQ(OpenFile::dialogTitle("MP3"), QStringLiteral("MP3ﾌｧｲﾙの参照"));
    EXPECT_EQ(OpenFile::dialogFilter("MIDI"), "Midi Files (*.mid;*.midi;*.rmi)|*.mid;*.midi;*.rmi");
    EXPECT_EQ(OpenFile::dialogTitle("CD"), "");
    EXPECT_EQ(OpenFile::dialogFilter("CD"), "");
}

} // namespace
