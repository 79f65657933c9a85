#include "../ui/PanelFixture.h"

#include "playback/RepeatOrder.h"
#include "ui/LedLabel.h"

#include <gtest/gtest.h>

using kbtest::PanelFixture;

namespace {

QString look(const frmMedia& f)
{
    return QStringLiteral("%1/%2/%3")
        .arg(f.lblRep->caption())
        .arg(f.lblRep->backColor(), 6, 16, QLatin1Char('0'))
        .arg(f.lblRep->foreColor(), 6, 16, QLatin1Char('0'));
}

TEST(RepeatOrder, CycleOffAllOneOffWithItsLooks)
{
    PanelFixture f;
    f.scriptDisc(10);
    f.mciService->answer("status 2 current track", "4");
    f.load();
    RepeatOrder& r = *f.form->repeat;
    EXPECT_EQ(look(*f.form), "REP/000000/0000ff");
    r.lblRep_Click();
    EXPECT_EQ(f.state.OptRepeat, "ALL");
    EXPECT_EQ(look(*f.form), "ALL/0000ff/000000");
    r.lblRep_Click();
    EXPECT_EQ(f.state.OptRepeat, "ONE");
    EXPECT_EQ(f.state.RepeatOneTrack, "4");
    EXPECT_EQ(look(*f.form), "ONE/0000ff/000000");
    f.mciService->answer("status 2 current track", "5");
    r.UpdateRepeatOneTrack();
    EXPECT_EQ(f.state.RepeatOneTrack, "5");
    r.lblRep_Click();
    EXPECT_EQ(f.state.OptRepeat, "OFF");
    EXPECT_TRUE(f.state.RepeatOneTrack.isEmpty());
    EXPECT_EQ(look(*f.form), "REP/000000/0000ff");
}

TEST(RepeatOrder, WithoutAReadableTrackAllFallsBackToOff)
{
    PanelFixture f;
    f.mciService->answer("status 2 current track", 263, "");
    f.load();
    f.form->repeat->lblRep_Click();
    f.form->repeat->lblRep_Click();
    EXPECT_EQ(f.state.OptRepeat, "OFF");
    EXPECT_EQ(f.form->lblRep->caption(), "REP");
}

TEST(RepeatOrder, StoredRepeatIsAppliedAtFirstActivation)
{
    PanelFixture stored;
    stored.state.OptRepeat = "ALL";
    stored.load();
    EXPECT_EQ(stored.form->lblRep->caption(), "ALL");

    PanelFixture noDisc;
    noDisc.state.OptRepeat = "ONE";
    noDisc.mciService->answer("status 2 current track", 263, "");
    noDisc.load();
    EXPECT_EQ(noDisc.state.OptRepeat, "OFF");
    EXPECT_EQ(noDisc.form->lblRep->caption(), "REP");

    PanelFixture odd;
    odd.state.OptRepeat = "SOMETIMES";
    odd.load();
    EXPECT_EQ(odd.state.OptRepeat, "SOMETIMES");
    EXPECT_EQ(odd.form->lblRep->caption(), "REP");
    odd.form->repeat->lblRep_Click();
    EXPECT_EQ(odd.state.OptRepeat, "OFF");
}

TEST(RepeatOrder, FileListSelectionWrapsAndTakesTheFirstSelectedItem)
{
    PanelFixture f;
    f.load();
    RepeatOrder& r = *f.form->repeat;
    QString text;
    EXPECT_FALSE(r.GetSelectedFile(text));
    EXPECT_TRUE(r.SelectNextFile().isEmpty());
    r.SelectFirstFile();
    EXPECT_FALSE(r.GetSelectedFile(text));

    QTreeWidget* list = f.form->lvwFileList;
    for (const char* name : {"/m/a.wav", "/m/b.wav", "/m/c.wav"})
        list->addTopLevelItem(new QTreeWidgetItem(QStringList{name}));
    EXPECT_EQ(r.SelectNextFile(), "/m/a.wav"); // nothing selected: wraps to the first
    list->topLevelItem(1)->setSelected(true);
    list->topLevelItem(0)->setSelected(false);
    EXPECT_TRUE(r.GetSelectedFile(text));
    EXPECT_EQ(text, "/m/b.wav");
    EXPECT_EQ(r.SelectNextFile(), "/m/c.wav");
    EXPECT_EQ(r.SelectNextFile(), "/m/a.wav");
    r.GetSelectedFile(text);
    EXPECT_EQ(text, "/m/a.wav");
    list->topLevelItem(2)->setSelected(true);
    r.SelectFirstFile();
    r.GetSelectedFile(text);
    EXPECT_EQ(text, "/m/a.wav");
}

} // namespace
