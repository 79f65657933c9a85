#pragma once

#include <QString>

#include <cstdint>

struct AppContext;
class FileList;
class frmMedia;
class QWidget;

// The open button of the file modes: the open-file dialog of the current device mode, then
// the chosen file's folder becomes the play list and its first file is opened, ready to play.
class OpenFile {
public:
    OpenFile(AppContext& ctx, frmMedia& form, FileList& list) : ctx_(ctx), form_(form), list_(list) {}

    void connectTo(frmMedia& form);

    // Shows the open (or save) dialog; the chosen path, or "" on cancel or error (errors
    // other than cancel are shown in a message box).
    static QString ShowFileDialog(QWidget* owner, const QString& title, const QString& filter,
                                  const QString& fileName, int16_t filterIndex,
                                  const QString& initialFolder, bool saveMode);
    // The dialog of the current mode; the chosen path or "".
    QString BrowseMediaFile();
    void cmdOpen_Click();
    // Lists the folder of `path` and opens its first listed file (nothing is opened when the
    // folder lists no file). The road of the open button after its dialog.
    void OpenMediaPath(const QString& path);

    // Title and filter of the open dialog of a device mode ("" for CD).
    static QString dialogTitle(const QString& mode);
    static QString dialogFilter(const QString& mode);

private:
    AppContext& ctx_;
    frmMedia& form_;
    FileList& list_;
};
