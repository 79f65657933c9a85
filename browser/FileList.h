#pragma once

#include "browser/FileIcons.h"
#include "browser/FileTypes.h"

#include <QObject>
#include <QString>

struct AppContext;
class frmMedia;

// The file list lvwFileList: ListFolder fills it with the playable files of a folder for the
// current device mode; a mouse click on an item opens that file and plays it at once.
class FileList : public QObject {
public:
    FileList(AppContext& ctx, frmMedia& form);
    ~FileList() override;

    // Connects the list's clicks and its mouse-down to the handlers below.
    void connectTo(frmMedia& form);

    // Rebuilds the list from `folder` (a path ending in "/") and selects its first item.
    void ListFolder(const QString& folder);
    // Fits the six columns to their contents.
    void AutoSizeColumns();

    void lvwFileList_MouseDown();
    void lvwFileList_ItemClick();

    // The image list of the current listing (ImgListDummy).
    FileIcons& icons() { return icons_; }
    FileTypes& types() { return types_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    AppContext& ctx_;
    frmMedia& form_;
    FileTypes types_;
    FileIcons icons_;
};
