#include "browser/OpenFile.h"

#include "app/AppContext.h"
#include "app/Toolkit.h"
#include "browser/FileList.h"
#include "browser/PathNames.h"
#include "dialogs/CommonDlg.h"
#include "mci/DeviceModes.h"
#include "ui/KeySink.h"
#include "ui/SkinButton.h"
#include "ui/frmMedia.h"

#include <QTreeWidget>

namespace {

constexpr int32_t kOpenFlags = 0x201804; // long names, file and path must exist, no read-only box
constexpr int32_t kSaveFlags = 0x200004;

} // namespace

void OpenFile::connectTo(frmMedia& form)
{
    QObject::connect(form.cmdOpen, &QAbstractButton::clicked, &form, [this] { cmdOpen_Click(); });
}

QString OpenFile::dialogTitle(const QString& mode)
{
    if (mode == "VIDEO" || mode == "WAVE" || mode == "MIDI" || mode == "MP3")
        return mode + QStringLiteral("ﾌｧｲﾙの参照");
    return {};
}

QString OpenFile::dialogFilter(const QString& mode)
{
    if (mode == "VIDEO")
        return QStringLiteral("Video Files (*.avi;*.mpeg;*.mpg;*.mpe;*.mpv;*.m1v;*.mp2;*.mpv2;*.mp2v;*.mpa)|"
                              "*.avi;*.mpeg;*.mpg;*.mpe;*.mpv;*.m1v;*.mp2;*.mpv2;*.mp2v;*.mpa");
    if (mode == "WAVE")
        return QStringLiteral("Wave Files (*.wav)|*.wav");
    if (mode == "MIDI")
        return QStringLiteral("Midi Files (*.mid;*.midi;*.rmi)|*.mid;*.midi;*.rmi");
    if (mode == "MP3")
        return QStringLiteral("MP3 Files (*.mp3;*.m3u)|*.mp3;*.m3u");
    return {};
}

QString OpenFile::ShowFileDialog(QWidget* owner, const QString& title, const QString& filter,
                                 const QString& fileName, int16_t filterIndex,
                                 const QString& initialFolder, bool saveMode)
{
    CommonDlg dlg;
    dlg.setForm(owner);
    dlg.setDialogTitle(title);
    dlg.setFlags(saveMode ? kSaveFlags : kOpenFlags);
    dlg.setFilter(filter);
    dlg.setDefaultExt(kb::browser::GetExtension(fileName).mid(1));
    dlg.setInitDir(initialFolder);
    dlg.setFileName(fileName);
    dlg.setFilterIndex(filterIndex);
    dlg.setCancelError(true);
    dlg.ShowOpen();
    if (dlg.ErrNumber() == 20477) {
        dlg.setFileName(fileName);
        dlg.setFilterIndex(filterIndex);
        saveMode ? dlg.ShowSave() : dlg.ShowOpen();
    }
    if (dlg.ErrNumber() != 0) {
        if (dlg.ErrNumber() != CommonDlg::ErrCancel)
            kb::app::MsgBox(dlg.ErrDescription(), QMessageBox::Critical, QMessageBox::Ok, dlg.DialogTitle());
        return {};
    }
    return dlg.FileName();
}

QString OpenFile::BrowseMediaFile()
{
    const QString mode = form_.modes->GetDeviceName();
    QString path = ShowFileDialog(&form_, dialogTitle(mode), dialogFilter(mode), QString(), 1, QString(), false);
    if (path.trimmed().isEmpty() || path.startsWith(u'*'))
        path.clear();
    kb::app::DoEvents();
    return path;
}

void OpenFile::cmdOpen_Click()
{
    const QString path = BrowseMediaFile();
    if (!path.trimmed().isEmpty())
        OpenMediaPath(path);
    if (!form_.isMinimized())
        form_.txtDummy->setFocus();
}

void OpenFile::OpenMediaPath(const QString& path)
{
    PlayerState& s = ctx_.state;
    ModMci& mci = ctx_.mci;
    s.OptFolderName = AddBackslash(kb::browser::GetFolderOfPath(path));
    list_.ListFolder(s.OptFolderName);
    // A folder without a playable file leaves the device as it was.
    if (form_.lvwFileList->topLevelItemCount() == 0)
        return;
    mci.MciStop(s.MciAlias);
    mci.MciClose(s.MciAlias);
    s.OpenPending = true;
    mci.MciOpen(form_.lvwFileList->topLevelItem(0)->text(0), s.MciAlias, QString());
    if (s.CurDeviceType == "avivideo") {
        s.PollSuspended = false;
        form_.modes->PutVideoInPanel();
    } else if (s.CurDeviceType == "waveaudio") {
        s.PollSuspended = false;
    } else if (s.CurDeviceType == "sequencer") {
        s.PlayFromTrackStart = false;
        s.PollSuspended = false;
    }
    form_.modes->ShowStoppedState();
}
