#include "PanelFixture.h"

#include "mci/DeviceModes.h"
#include "ui/LedLabel.h"
#include "ui/MeterSegment.h"
#include "ui/SkinOption.h"
#include "ui/Volume.h"
#include "ui/VolumeBar.h"

#include <gtest/gtest.h>

using kb::audio::Line;
using kbtest::PanelFixture;

namespace {

// Lit segments as a string, bottom to top: left column then right column.
QString meter(const frmMedia& f)
{
    QString s;
    for (auto* seg : f.lblColor)
        s += seg->foreColor() ? "#" : ".";
    return s;
}

TEST(Volume, SliderWritesTwiceItsPositionToBothChannelsOfTheModeDevice)
{
    PanelFixture f;
    f.load();
    f.levels().set(Line::AuxIn, 0);
    f.form->hscVolume[0]->setValue(16384);
    EXPECT_EQ(f.levels().get(Line::AuxCd), 0x80008000u);
    EXPECT_EQ(meter(*f.form), "###..###..");

    f.form->optCdOrAux[1]->setChecked(true);
    f.form->hscVolume[0]->setValue(1000);
    EXPECT_EQ(f.levels().get(Line::AuxIn), 2000u * 65537u);
    EXPECT_EQ(f.levels().get(Line::AuxCd), 0x80008000u);

    f.form->modes->mnuDeviceMIDI_Click();
    const uint32_t wave = f.levels().get(Line::WaveOut0);
    f.form->hscVolume[0]->setValue(32767);
    EXPECT_EQ(f.levels().get(Line::MidiOut0), 65534u * 65537u);
    EXPECT_EQ(f.levels().get(Line::WaveOut0), wave);
    EXPECT_EQ(meter(*f.form), "##########");

    f.form->modes->mnuDeviceWAV_Click();
    f.form->hscVolume[0]->setValue(0);
    EXPECT_EQ(f.levels().get(Line::WaveOut0), 0u);
    EXPECT_EQ(meter(*f.form), "..........");
}

TEST(Volume, MeterBandsAndColours)
{
    PanelFixture f;
    Volume& v = *f.form->volume;
    const std::pair<int, const char*> bands[] = {
        {0, ".........."}, {1, "#....#...."}, {13107, "#....#...."}, {13108, "##...##..."},
        {26215, "###..###.."}, {39322, "####.####."}, {52428, "####.####."}, {52429, "##########"},
        {-5, ".........."}};
    for (const auto& [level, lit] : bands) {
        v.ShowVolumeMeter(level);
        EXPECT_EQ(meter(*f.form), lit) << level;
    }
    v.ShowVolumeMeter(65535);
    const uint32_t colours[5] = {0xFFFF00, 0x00FFFF, 0x00FF00, 0x00FF00, 0x0000FF};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(f.form->lblColor[size_t(i)]->foreColor(), colours[i % 5]);
}

TEST(Volume, DeviceLevelIsReadIntoTheSliderFromTheLeftChannel)
{
    PanelFixture f;
    f.levels().set(Line::WaveOut0, 40000u | (10000u << 16));
    f.state.OptMedia = "WAVE";
    f.load();
    EXPECT_EQ(f.form->hscVolume[0]->value(), 19999);
    EXPECT_EQ(f.levels().get(Line::WaveOut0), 39998u * 65537u);

    f.levels().set(Line::AuxCd, 0xFFFFFFFFu);
    f.form->modes->mnuDeviceCD_Click();
    EXPECT_EQ(f.form->hscVolume[0]->value(), 32766);
    f.levels().set(Line::AuxCd, 1);
    f.form->volume->RefreshVolume();
    EXPECT_EQ(f.form->hscVolume[0]->value(), 0);
}

TEST(Volume, OptionPairChoosesTheAuxDeviceAndRereadsIt)
{
    PanelFixture f;
    f.load();
    EXPECT_EQ(f.state.CdAuxDevice, 0);
    EXPECT_EQ(f.state.AuxInDevice, 1);
    f.levels().set(Line::AuxIn, 3000u * 65537u);
    f.form->optCdOrAux[1]->setChecked(true);
    f.form->modes->optCdOrAux_Click(1);
    EXPECT_EQ(f.form->hscVolume[0]->value(), 1499);
    EXPECT_EQ(f.levels().get(Line::AuxIn), 2998u * 65537u);
}

TEST(Volume, MuteRoundTripReturnsOnePositionBelow)
{
    PanelFixture f;
    f.load();
    VolumeBar* slider = f.form->hscVolume[0];
    slider->setValue(1000);
    f.form->volume->lblMute_Click();
    EXPECT_TRUE(f.form->volume->Muted());
    EXPECT_EQ(slider->value(), 0);
    EXPECT_EQ(f.state.MutedVolume, 2000);
    EXPECT_EQ(f.form->lblMute->caption(), "●");
    EXPECT_EQ(f.levels().get(Line::AuxCd), 0u);
    EXPECT_EQ(meter(*f.form), "..........");

    f.form->volume->lblMute_Click();
    EXPECT_FALSE(f.form->volume->Muted());
    EXPECT_EQ(slider->value(), 999);
    EXPECT_EQ(f.form->lblMute->caption(), "○");
    EXPECT_EQ(f.state.MutedVolume, 2000);

    slider->setValue(0);
    f.form->volume->lblMute_Click();
    f.form->volume->lblMute_Click();
    EXPECT_EQ(slider->value(), 0);
}

} // namespace
