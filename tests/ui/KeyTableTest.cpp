#include "../playback/TransportFixture.h"

#include "ui/KeySink.h"
#include "ui/LedLabel.h"
#include "ui/Volume.h"

#include <QTest>

#include <gtest/gtest.h>

using kbtest::TransportFixture;

namespace {

// Which command a key ran, told by the first command text it sent.
QString firstCommand(TransportFixture& f, int key, int shift)
{
    f.mciService->clearLog();
    f.form->keys->txtDummy_KeyDown(key, shift);
    const QStringList c = f.commands();
    return c.isEmpty() ? QString() : c.first();
}

TEST(KeyTable, EnterLeftRightChooseByCtrlAlone)
{
    TransportFixture f;
    f.state.PlayFromTrackStart = false;
    const int none = 0, shift = 1, ctrl = 2, alt = 4;
    EXPECT_EQ(firstCommand(f, KeyTable::Enter, none), "play 2");
    f.state.PlayFromTrackStart = false;
    EXPECT_EQ(firstCommand(f, KeyTable::Enter, ctrl + shift), "play 2");
    EXPECT_EQ(firstCommand(f, KeyTable::Enter, ctrl), "stop 2");

    for (int s : {none, shift, ctrl + alt, ctrl + shift}) {
        EXPECT_EQ(firstCommand(f, KeyTable::Left, s), "status 2 current track") << "previous, shift " << s;
        EXPECT_EQ(firstCommand(f, KeyTable::Right, s), "status 2 current track") << "next, shift " << s;
    }
    EXPECT_EQ(firstCommand(f, KeyTable::Left, ctrl), "status 2 position track 1");
    EXPECT_EQ(firstCommand(f, KeyTable::Right, ctrl), "status 2 number of tracks");
}

TEST(KeyTable, DeleteSpaceHomeAndOtherKeys)
{
    TransportFixture f;
    for (int s : {0, 2, 7})
        EXPECT_EQ(firstCommand(f, KeyTable::Delete, s), "status 2 media present");

    const bool muted = f.form->volume->Muted();
    f.form->keys->txtDummy_KeyDown(KeyTable::Space, 2);
    EXPECT_NE(f.form->volume->Muted(), muted);

    for (int key : {int('A'), int('5'), 38, 40, 0}) {
        f.mciService->clearLog();
        f.form->txtDummy->setText("x");
        f.form->keys->txtDummy_KeyDown(key, 0);
        EXPECT_TRUE(f.commands().isEmpty()) << key;
        EXPECT_TRUE(f.form->txtDummy->text().isEmpty());
    }

    f.form->show();
    f.form->keys->txtDummy_KeyDown(KeyTable::Home, 0);
    EXPECT_TRUE(f.form->isMinimized());
}

TEST(KeyTable, EscPowersOffAndLeavesTheBoxAlone)
{
    TransportFixture f;
    f.form->txtDummy->setText("q");
    f.form->keys->txtDummy_KeyDown(KeyTable::Esc, 2);
    EXPECT_TRUE(f.form->powerTray->poweredOff());
    EXPECT_EQ(f.form->txtDummy->text(), "q");
}

TEST(KeyTable, EnterKeyPressBecomesNothing)
{
    int enter = 13, letter = 'a';
    KeyTable::txtDummy_KeyPress(enter);
    KeyTable::txtDummy_KeyPress(letter);
    EXPECT_EQ(enter, 0);
    EXPECT_EQ(letter, 'a');
}

TEST(KeyTable, KeysReachTheTableWhereverTheFocusIs)
{
    TransportFixture f;
    f.form->show();
    f.state.PlayFromTrackStart = false;

    f.form->txtDummy->setFocus();
    QTest::keyClicks(f.form->txtDummy, "abc");
    EXPECT_TRUE(f.form->txtDummy->text().isEmpty()) << "typing leaves nothing behind";
    QTest::keyClick(f.form->txtDummy, Qt::Key_Return);
    EXPECT_EQ(f.commands(), QStringList{"play 2"});

    f.form->lvwFileList->addTopLevelItem(new QTreeWidgetItem(QStringList{"/m/a.wav"}));
    f.form->lvwFileList->addTopLevelItem(new QTreeWidgetItem(QStringList{"/m/b.wav"}));
    f.form->lvwFileList->setCurrentItem(f.form->lvwFileList->topLevelItem(0));
    f.form->lvwFileList->setFocus();
    f.mciService->clearLog();
    QTest::keyClick(f.form->lvwFileList, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(f.commands(), QStringList{"stop 2"});
    QTest::keyClick(f.form->lvwFileList, Qt::Key_Down);
    EXPECT_EQ(f.form->lvwFileList->currentItem(), f.form->lvwFileList->topLevelItem(1))
        << "the list keeps its own navigation";

    f.form->cmdPlay->setFocus();
    f.mciService->clearLog();
    QTest::keyClick(f.form->cmdPlay, Qt::Key_Delete);
    EXPECT_EQ(f.commands().value(0), "status 2 media present");
    EXPECT_EQ(f.commands().count("status 2 media present"), 1) << "one key, one command";
}

} // namespace
