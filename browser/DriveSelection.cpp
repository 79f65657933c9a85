#include "browser/DriveSelection.h"

#include "app/AppContext.h"
#include "mci/DeviceModes.h"
#include "ui/KeySink.h"
#include "ui/LedLabel.h"
#include "ui/SkinButton.h"
#include "ui/frmMedia.h"

void DriveSelection::connectTo(frmMedia& form)
{
    QObject::connect(form.cmdUpDrive, &QAbstractButton::clicked, &form, [this] { cmdUpDrive_Click(); });
    QObject::connect(form.cmdDownDrive, &QAbstractButton::clicked, &form, [this] { cmdDownDrive_Click(); });
}

void DriveSelection::cmdUpDrive_Click()
{
    PlayerState& s = ctx_.state;
    if (form_.modes->GetDeviceName() != "CD")
        return;
    if (s.CurCdDriveIndex < s.CdDrives.size() - 1) {
        ++s.CurCdDriveIndex;
        s.CurCdDrive = s.CdDrives[s.CurCdDriveIndex];
        SetUpDownDrive();
    }
}

void DriveSelection::cmdDownDrive_Click()
{
    PlayerState& s = ctx_.state;
    if (form_.modes->GetDeviceName() != "CD")
        return;
    if (s.CurCdDriveIndex > 0 && s.CurCdDriveIndex <= s.CdDrives.size()) {
        --s.CurCdDriveIndex;
        s.CurCdDrive = s.CdDrives[s.CurCdDriveIndex];
        SetUpDownDrive();
    }
}

void DriveSelection::SetUpDownDrive()
{
    PlayerState& s = ctx_.state;
    ModMci& mci = ctx_.mci;
    form_.Label1[1]->setCaption("CD " + s.CurCdDrive);
    mci.MciStop(s.MciAlias);
    mci.MciClose(s.MciAlias);
    mci.MciOpen(s.CurDeviceType, s.MciAlias, s.CurCdDrive + " type ");
    s.OpenPending = true;
    s.PollSuspended = false;
    if (!form_.isMinimized())
        form_.txtDummy->setFocus();
}
