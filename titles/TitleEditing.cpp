#include "titles/TitleEditing.h"

#include "app/AppContext.h"
#include "mci/DeviceModes.h"
#include "playback/TrackGrid.h"
#include "titles/TitleStore.h"
#include "titles/frmEdit.h"
#include "ui/PictureBox.h"
#include "ui/PowerTray.h"
#include "ui/frmMedia.h"

TitleEditing::TitleEditing(AppContext& ctx, frmMedia& form)
    : showModal([](frmEdit& dialog) { dialog.exec(); }), ctx_(ctx), form_(form)
{
}

void TitleEditing::connectTo(frmMedia& form)
{
    // picFrame's click reaches here too: it raises the strip's.
    QObject::connect(form.picCenter, &PictureBox::clicked, &form, [this] { picCenter_Click(); });
}

void TitleEditing::picCenter_Click()
{
    PlayerState& s = ctx_.state;
    if (form_.modes->GetDeviceName() != QLatin1String("CD"))
        return;
    const QString key = form_.titles->GetCdIdentityKey();
    if (key.isEmpty())
        return;
    form_.timCD->stop();
    form_.timScroll->stop();
    form_.titles->LoadCdTitles(key);

    s.TitleEditOk = false;
    {
        frmEdit dialog(ctx_, &form_);
        if (showModal)
            showModal(dialog);
    }
    if (s.TitleEditOk) {
        form_.titles->SaveCdTitles(key);
        form_.grid->RefreshTrackGrid();
    }
    s.LastTrack = 0;
    // Power-off while the editor was open (a signal, the session ending) leaves it off.
    if (form_.powerTray && form_.powerTray->poweredOff())
        return;
    form_.timCD->start();
    form_.timScroll->start();
}
