#include "ui/Volume.h"

#include "app/AppContext.h"
#include "ui/LedLabel.h"
#include "ui/MeterSegment.h"
#include "ui/SkinOption.h"
#include "ui/VolumeBar.h"
#include "ui/WinMM.h"
#include "ui/frmMedia.h"

#include <QCoreApplication>

namespace {

constexpr uint32_t kLitColour[5] = {0xFFFF00, 0x00FFFF, 0x00FF00, 0x00FF00, 0x0000FF};

kb::audio::OutputLevels* levelsOf(AppContext& ctx)
{
    return ctx.platform.audio ? &ctx.platform.audio->levels() : nullptr;
}

} // namespace

int16_t Volume::selectedAuxDevice() const
{
    return form_.optCdOrAux[0]->isChecked() ? ctx_.state.CdAuxDevice : ctx_.state.AuxInDevice;
}

void Volume::hscVolume_Change(int)
{
    const int position = form_.hscVolume[0]->value();
    const uint32_t packed = packBoth(uint32_t(2 * position));
    if (auto* levels = levelsOf(ctx_)) {
        const QString& type = ctx_.state.CurDeviceType;
        if (type == "cdaudio")
            kb::ui::auxSetVolume(*levels, uint32_t(selectedAuxDevice()), packed);
        else if (type == "sequencer")
            kb::ui::midiOutSetVolume(*levels, 0, packed);
        else
            kb::ui::waveOutSetVolume(*levels, 0, packed);
    }
    ShowVolumeMeter(2 * position);
}

void Volume::ShowVolumeMeter(int32_t level)
{
    constexpr int32_t step = 13107;
    int bands = 0;
    if (level > 0)
        bands = level > 4 * step ? 5 : int((level + step - 1) / step);
    for (int i = 0; i < 10; ++i) {
        const int row = i % 5;
        form_.lblColor[size_t(i)]->setForeColor(row < bands ? kLitColour[row] : 0);
    }
}

void Volume::SetSliderFromPacked(uint32_t packed)
{
    const int left = int(packed & 0xFFFF);
    form_.hscVolume[0]->setValue(std::max(0, left / 2 - 1));
    ShowVolumeMeter(2 * form_.hscVolume[0]->value());
}

void Volume::RefreshVolume()
{
    auto* levels = levelsOf(ctx_);
    uint32_t packed = 0;
    if (levels && kb::ui::auxGetVolume(*levels, uint32_t(selectedAuxDevice()), packed) == 0)
        SetSliderFromPacked(packed);
    else
        ShowVolumeMeter(2 * form_.hscVolume[0]->value());
}

void Volume::lblMute_Click()
{
    VolumeBar* slider = form_.hscVolume[0];
    if (!muted_) {
        ctx_.state.MutedVolume = 2 * slider->value();
        slider->setValue(0);
        form_.lblMute->setCaption(QStringLiteral("●"));
        QCoreApplication::processEvents();
        muted_ = true;
    } else {
        const int restore = ctx_.state.MutedVolume / 2 - 1;
        if (restore >= slider->minimum() && restore <= slider->maximum())
            slider->setValue(restore);
        form_.lblMute->setCaption(QStringLiteral("○"));
        QCoreApplication::processEvents();
        muted_ = false;
    }
    ShowVolumeMeter(2 * slider->value());
}
