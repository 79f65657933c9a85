#include "mci/DeviceModes.h"

#include "app/AppContext.h"
#include "app/NumberText.h"
#include "playback/TrackGrid.h"
#include "ui/LedLabel.h"
#include "ui/PictureBox.h"
#include "ui/SkinButton.h"
#include "ui/Twips.h"
#include "ui/Volume.h"
#include "ui/VolumeBar.h"
#include "ui/WinMM.h"
#include "ui/frmMedia.h"

#include <QCoreApplication>
#include <QFontMetricsF>

#include <cmath>

namespace {

constexpr uint32_t kCyan = 0xFFFF00;
constexpr uint32_t kBlack = 0;
constexpr uint32_t kWhite = 0xFFFFFF;

QString fontExtChar(const QString& ext, int position)
{
    return ext.mid(position - 1, 1);
}

} // namespace

QString DeviceModes::GetDeviceName() const
{
    const QString caption = form_.Label1[1]->caption();
    const qsizetype blank = caption.indexOf(QLatin1Char(' '));
    return blank < 0 ? caption : caption.left(blank);
}

QString DeviceModes::playerCaption(const QString& mode)
{
    if (mode == "CD" || mode == "VIDEO" || mode == "WAVE" || mode == "MIDI" || mode == "MP3")
        return mode + " PLAYER";
    return {};
}

void DeviceModes::ShowPlayerCaption()
{
    const QString caption = playerCaption(GetDeviceName());
    if (!caption.isEmpty())
        ShowCenterText(caption);
}

void DeviceModes::ShowCenterText(const QString& text)
{
    PictureBox* strip = form_.picCenter;
    strip->Cls();
    // The window's font and the strip's own may differ; the strip must hold its text.
    const QString measured = text + "BB";
    const int windowWidth = int(std::lround(QFontMetricsF(form_.font()).horizontalAdvance(measured)
                                            * kb::ui::twipsPerPixel()));
    strip->setWidth(std::max(windowWidth, strip->TextWidth(measured)));
    strip->Print(text);
}

void DeviceModes::placeIconButton()
{
    const QRect power = form_.cmdPower->geometry();
    form_.cmdIcon->move(power.x() + power.width() + kb::ui::toPx(form_.picFrame->Width()), power.y());
}

void DeviceModes::OpenCdMode()
{
    PlayerState& s = ctx_.state;
    s.CurDeviceType = "cdaudio";

    s.CdAuxDevice = 0;
    s.AuxInDevice = 0;
    if (ctx_.platform.audio) {
        const auto& levels = ctx_.platform.audio->levels();
        const int count = int(kb::ui::auxGetNumDevs(levels));
        for (int i = 0; i < count; ++i) {
            int tech = 0;
            if (kb::ui::auxGetDevCaps(levels, uint32_t(i), tech) != 0)
                continue;
            if (tech == 1)
                s.CdAuxDevice = int16_t(i);
            if (tech == 2)
                s.AuxInDevice = int16_t(i);
        }
    }
    form_.volume->RefreshVolume();

    form_.setWindowSize(4000, 2880);
    form_.Label1[1]->setCaption("CD " + s.CurCdDrive);
    ShowCenterText("CD PLAYER");

    PictureBox* strip = form_.picCenter;
    strip->setFontSize(s.TitleFontSize.isEmpty() ? 9 : int(kb::numtext::leadingNumber(s.TitleFontSize)));
    strip->setFontName(s.TitleFontName.isEmpty() ? QStringLiteral("Times New Roman") : s.TitleFontName);
    strip->setBackColor(kCyan);
    strip->setForeColor(kBlack);
    strip->setFontBold(fontExtChar(s.TitleFontExt, 1) == "1");
    strip->setFontItalic(fontExtChar(s.TitleFontExt, 2) == "1");
    strip->setFontStrikethru(fontExtChar(s.TitleFontExt, 3) == "1");
    strip->setFontUnderline(fontExtChar(s.TitleFontExt, 4) == "1");
    form_.picFrame->setBackColor(kCyan);
    form_.picFrame->setForeColor(kBlack);

    placeIconButton();
    ctx_.mci.MciStop(s.MciAlias);
    ctx_.mci.MciClose(s.MciAlias);
    s.OpenPending = true;
    ctx_.mci.MciOpen("cdaudio", s.MciAlias, s.CurCdDrive + " type ");
    QCoreApplication::processEvents();
}

void DeviceModes::openFileMode(const QString& deviceType, const QString& label, bool midiVolume,
                               int listHeight, int windowHeight, bool setsOpenPending)
{
    PlayerState& s = ctx_.state;
    s.CurDeviceType = deviceType;

    if (ctx_.platform.audio) {
        uint32_t packed = 0;
        const auto& levels = ctx_.platform.audio->levels();
        const uint32_t rc = midiVolume ? kb::ui::midiOutGetVolume(levels, 0, packed)
                                       : kb::ui::waveOutGetVolume(levels, 0, packed);
        if (rc == 0)
            form_.volume->SetSliderFromPacked(packed);
    }

    form_.Label1[1]->setCaption(label);
    form_.cmdPower->move(form_.cmdPower->x(), kb::ui::toPx(270));
    ShowCenterText(playerCaption(label));
    PictureBox* strip = form_.picCenter;
    strip->setBackColor(kCyan);
    strip->setForeColor(kBlack);
    strip->setFontSize(9);
    strip->setFontName(QStringLiteral("Times New Roman"));
    strip->setFontBold(true);
    strip->setFontItalic(false);
    strip->setFontStrikethru(false);
    strip->setFontUnderline(false);
    form_.picFrame->setBackColor(kCyan);
    form_.picFrame->setForeColor(kBlack);
    placeIconButton();

    QWidget* list = form_.lvwFileList;
    list->resize(list->width(), kb::ui::toPx(listHeight));
    form_.setWindowSize(7950, windowHeight);

    ctx_.mci.MciStop(s.MciAlias);
    ctx_.mci.MciClose(s.MciAlias);
    if (setsOpenPending)
        s.OpenPending = true;
    s.TrackCount = "1";
    form_.lblTrackNo->setCaption("88:");
    form_.lblTime->setCaption("88:88");
    form_.grid->RefreshTrackGrid();
    ShowNoMediaState();
    QCoreApplication::processEvents();
}

void DeviceModes::OpenVideoMode() { openFileMode("avivideo", "VIDEO", false, 5775, 6825, true); }

void DeviceModes::OpenWaveMode(bool mp3)
{
    openFileMode("waveaudio", mp3 ? "MP3" : "WAVE", false, 2295, 2880, false);
}

void DeviceModes::OpenMidiMode() { openFileMode("sequencer", "MIDI", true, 2295, 2880, false); }

void DeviceModes::PutVideoInPanel()
{
    const QString& alias = ctx_.state.MciAlias;
    ctx_.mci.MciSetWindow(alias, int32_t(form_.picVideo->winId()));
    ctx_.mci.MciPutDestination(alias, 0, 0, kb::ui::toPx(form_.picVideo->Width()),
                               kb::ui::toPx(form_.picVideo->Height()));
}
