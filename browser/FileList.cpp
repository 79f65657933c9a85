#include "browser/FileList.h"

#include "app/AppContext.h"
#include "app/Toolkit.h"
#include "browser/FolderListing.h"
#include "browser/PathNames.h"
#include "mci/DeviceModes.h"
#include "playback/RepeatOrder.h"
#include "playback/TrackGrid.h"
#include "ui/frmMedia.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTreeWidget>

namespace {

// The arrow with the hourglass while a folder is read.
class BusyPointer {
public:
    BusyPointer() { QApplication::setOverrideCursor(Qt::BusyCursor); }
    ~BusyPointer() { QApplication::restoreOverrideCursor(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

// What a listed file passes for its attributes: never a folder.
constexpr int kListedAttributes = 6;

} // namespace

FileList::FileList(AppContext& ctx, frmMedia& form) : ctx_(ctx), form_(form), icons_(types_) {}

FileList::~FileList()
{
    if (form_.lvwFileList)
        form_.lvwFileList->viewport()->removeEventFilter(this);
}

void FileList::connectTo(frmMedia& form)
{
    form.lvwFileList->viewport()->installEventFilter(this);
    QObject::connect(form.lvwFileList, &QTreeWidget::itemClicked, &form, [this] { lvwFileList_ItemClick(); });
}

bool FileList::eventFilter(QObject*, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress)
        lvwFileList_MouseDown();
    return false;
}

void FileList::ListFolder(const QString& folder)
{
    const BusyPointer busy;
    QTreeWidget* list = form_.lvwFileList;
    list->clear();
    icons_.reset();
    const QString mode = form_.modes->GetDeviceName();
    if (mode == "CD")
        return;

    const std::vector<kb::browser::FileRow> rows = kb::browser::readFolderRows(folder, kb::browser::modePatterns(mode), types_);
    QList<QTreeWidgetItem*> items;
    items.reserve(qsizetype(rows.size()));
    for (const kb::browser::FileRow& row : rows) {
        auto* item = new QTreeWidgetItem(QStringList{row.path, row.size, row.type, row.modified, row.attributes, row.dosName});
        const QString key = icons_.GetFileIcon(kListedAttributes, row.path, kb::browser::GetExtension(row.name));
        item->setIcon(0, QIcon(icons_.image(key)));
        item->setData(0, Qt::UserRole, key);
        items << item;
    }
    list->addTopLevelItems(items);
    if (list->topLevelItemCount() > 0)
        AutoSizeColumns();
    form_.repeat->SelectFirstFile();
}

void FileList::AutoSizeColumns()
{
    for (int column = 0; column < 6; ++column) {
        form_.lvwFileList->resizeColumnToContents(column);
        kb::app::DoEvents();
    }
}

void FileList::lvwFileList_MouseDown() { ctx_.state.FileListClicked = true; }

void FileList::lvwFileList_ItemClick()
{
    PlayerState& s = ctx_.state;
    ModMci& mci = ctx_.mci;
    if (!s.FileListClicked)
        return;
    mci.MciStop(s.MciAlias);
    mci.MciClose(s.MciAlias);
    QString path;
    if (!form_.repeat->GetSelectedFile(path))
        return;
    s.OpenPending = true;
    mci.MciOpen(path, s.MciAlias, QString());
    if (s.CurDeviceType == "avivideo") {
        s.PollSuspended = false;
        form_.modes->PutVideoInPanel();
    } else if (s.CurDeviceType == "waveaudio" || s.CurDeviceType == "sequencer") {
        s.PollSuspended = false;
    }
    mci.MciPlay(s.MciAlias);
    form_.modes->ShowPlayingState();
    s.TrackCount = "1";
    form_.grid->RefreshTrackGrid();
    form_.modes->ShowPlayerCaption();
    kb::app::DoEvents();
    s.PollSuspended = false;
    s.FileListClicked = false;
}
