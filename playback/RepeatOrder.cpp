#include "playback/RepeatOrder.h"

#include "app/AppContext.h"
#include "ui/LedLabel.h"
#include "ui/frmMedia.h"

#include <QTreeWidget>

namespace {

bool isError(const QString& reply) { return reply.startsWith(QLatin1String("Error")); }

} // namespace

void RepeatOrder::ShowRepeat(const QString& mode, const QString& oneTrack)
{
    PlayerState& s = ctx_.state;
    s.OptRepeat = mode;
    s.RepeatOneTrack = mode == "ONE" ? oneTrack : QString();
    const bool off = mode == "OFF";
    form_.lblRep->setCaption(off ? QStringLiteral("REP") : mode);
    form_.lblRep->setBackColor(off ? 0 : 0x0000FF);
    form_.lblRep->setForeColor(off ? 0x0000FF : 0);
}

void RepeatOrder::enterOneOrOff()
{
    const QString track = ctx_.mci.MciGetCurrentTrack(ctx_.state.MciAlias);
    if (!isError(track))
        ShowRepeat("ONE", track);
    else
        ShowRepeat("OFF");
}

void RepeatOrder::lblRep_Click()
{
    const QString& mode = ctx_.state.OptRepeat;
    if (mode == "OFF")
        ShowRepeat("ALL");
    else if (mode == "ALL")
        enterOneOrOff();
    else
        ShowRepeat("OFF");
}

void RepeatOrder::ApplyStoredRepeat()
{
    const QString mode = ctx_.state.OptRepeat;
    if (mode == "OFF" || mode == "ALL")
        ShowRepeat(mode);
    else if (mode == "ONE")
        enterOneOrOff();
}

void RepeatOrder::UpdateRepeatOneTrack()
{
    PlayerState& s = ctx_.state;
    if (s.OptRepeat != "ONE")
        return;
    const QString track = ctx_.mci.MciGetCurrentTrack(s.MciAlias);
    if (!isError(track))
        s.RepeatOneTrack = track;
}

bool RepeatOrder::GetSelectedFile(QString& text) const
{
    text.clear();
    const QTreeWidget* list = form_.lvwFileList;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        if (list->topLevelItem(i)->isSelected()) {
            text = list->topLevelItem(i)->text(0);
            break;
        }
    }
    return !text.isEmpty();
}

QString RepeatOrder::SelectNextFile()
{
    QTreeWidget* list = form_.lvwFileList;
    const int count = list->topLevelItemCount();
    if (count == 0)
        return {};
    int i = count; // zero-based index of the first selected item, or one past the end
    for (int k = 0; k < count; ++k) {
        if (list->topLevelItem(k)->isSelected()) {
            i = k;
            break;
        }
    }
    i = i + 1 >= count ? 0 : i + 1;
    QTreeWidgetItem* item = list->topLevelItem(i);
    list->setCurrentItem(item);
    item->setSelected(true);
    return item->text(0);
}

void RepeatOrder::SelectFirstFile()
{
    QTreeWidget* list = form_.lvwFileList;
    if (list->topLevelItemCount() == 0)
        return;
    QTreeWidgetItem* item = list->topLevelItem(0);
    list->setCurrentItem(item);
    item->setSelected(true);
}
