#include "titles/frmEdit.h"

#include "app/AppContext.h"
#include "app/NumberText.h"
#include "app/Toolkit.h"
#include "dialogs/CommonDlg.h"
#include "titles/TitleStore.h"
#include "ui/ListBox.h"
#include "ui/PanelFonts.h"
#include "ui/SkinArt.h"
#include "ui/SkinButton.h"
#include "ui/Twips.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

using kb::ui::placeTwips;

namespace {

constexpr int kDialogWidth = 5775;
constexpr int kDialogHeight = 4215;

// Style flag `position` (0 bold, 1 italic, 2 strikethrough, 3 underline) of a FontExt text;
// a missing position counts as off.
bool styleFlag(const QString& ext, int position) { return ext.mid(position, 1) == QLatin1String("1"); }

} // namespace

frmEdit::frmEdit(AppContext& ctx, QWidget* mainWindow)
    : QDialog(mainWindow), ctx_(ctx), mainWindow_(mainWindow)
{
    setObjectName(QStringLiteral("frmEdit"));
    setWindowTitle(QStringLiteral("ｱﾙﾊﾞﾑ編集"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);
    kb::ui::installFontSubstitutions();
    background_ = kb::ui::skinPixmap(QStringLiteral("edit_back.png"));
    setFixedSize(kb::ui::toPx(kDialogWidth), kb::ui::toPx(kDialogHeight));
    setStyleSheet(kb::ui::dialogStyle());
    createControls();
    Form_Initialize();
    Form_Load();
}

void frmEdit::createControls()
{
    auto legend = [this](const QString& caption, QLineEdit* buddy, int l, int t, int w, int h) {
        auto* label = new QLabel(caption, this);
        label->setFont(kb::ui::legendSerifFont());
        label->setBuddy(buddy);
        label->setObjectName(QStringLiteral("legend"));
        placeTwips(label, l, t, w, h);
        return label;
    };
    auto textBox = [this](int l, int t, int w, int h) {
        auto* box = new QLineEdit(this);
        box->setFont(kb::ui::listFont());
        box->installEventFilter(this);
        placeTwips(box, l, t, w, h);
        return box;
    };

    txtAlbumTitle = textBox(360, 480, 4635, 270);
    lblAlbum = legend(QStringLiteral("ALBUM TITLE(&T)"), txtAlbumTitle, 360, 240, 1425, 225);
    cmdFont = new SkinButton(QStringLiteral("font"), this);
    cmdFont->setToolTip(QStringLiteral("ﾌｫﾝﾄ"));
    placeTwips(cmdFont, 5040, 480, 405, 285);
    txtArtist = textBox(360, 1080, 5055, 270);
    lblArtist = legend(QStringLiteral("NAME OF ARTIST(&R)"), txtArtist, 360, 840, 1770, 225);
    txtTrack = textBox(360, 1680, 5055, 270);
    lblTrack = legend(QStringLiteral("TITLE OF TRACK(&N)"), txtTrack, 360, 1440, 1740, 225);
    lstTracks = new ListBox(this);
    lstTracks->setFont(kb::ui::listFont());
    placeTwips(lstTracks, 360, 2040, 5055, 1500);
    cmdCancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ(&C)"), this);
    placeTwips(cmdCancel, 2880, 3600, 1215, 375);
    cmdOk = new QPushButton(QStringLiteral("OK(&O)"), this);
    placeTwips(cmdOk, 4200, 3600, 1215, 375);
    // Enter in a box is no button press: only OK stores, and only what the list holds.
    for (QPushButton* b : {cmdCancel, cmdOk}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    // Tab order follows the access keys' reading order.
    setTabOrder(txtAlbumTitle, txtArtist);
    setTabOrder(txtArtist, txtTrack);
    setTabOrder(txtTrack, lstTracks);
    setTabOrder(lstTracks, cmdCancel);
    setTabOrder(cmdCancel, cmdOk);

    connect(lstTracks, &ListBox::Click, this, [this] { lstTracks_Click(); });
    connect(lstTracks, &ListBox::DblClick, this, [this] { lstTracks_DblClick(); });
    connect(cmdFont, &QAbstractButton::clicked, this, [this] { cmdFont_Click(); });
    connect(cmdOk, &QPushButton::clicked, this, [this] { cmdOk_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

QString frmEdit::entryText(int track, const QString& title)
{
    return QStringLiteral("%1 ").arg(track, 2, 10, QLatin1Char('0')) + title;
}

QString frmEdit::entryTitle(const QString& entry) { return entry.mid(3); }

void frmEdit::Form_Initialize() { FirstActivated = false; }

void frmEdit::Form_Load()
{
    const PlayerState& s = ctx_.state;
    if (s.OptTemae != QLatin1String("0"))
        kb::app::setTopmost(this, true);
    applyTitleFont();
    txtAlbumTitle->setText(s.CdAlbumTitle);
    txtArtist->setText(s.CdArtistName);

    lstTracks->clear();
    const int n = TitleStore::trackCountOf(s.TrackCount);
    // Tracks beyond the title array have no entry.
    for (int u = 1; u <= n && u < s.TrackTitles.size(); ++u)
        lstTracks->addItem(entryText(u, s.TrackTitles[u]));
    if (lstTracks->ListCount() > 0)
        lstTracks->setListIndex(0);
}

void frmEdit::applyTitleFont()
{
    const PlayerState& s = ctx_.state;
    QFont f = txtAlbumTitle->font();
    const auto size = kb::numtext::toInt32(s.TitleFontSize);
    if (size && *size > 0 && *size <= 1638)
        f.setPointSize(*size);
    f.setFamilies({s.TitleFontName});
    f.setBold(styleFlag(s.TitleFontExt, 0));
    f.setItalic(styleFlag(s.TitleFontExt, 1));
    f.setStrikeOut(styleFlag(s.TitleFontExt, 2));
    f.setUnderline(styleFlag(s.TitleFontExt, 3));
    txtAlbumTitle->setFont(f);
}

void frmEdit::Form_Activate()
{
    if (FirstActivated)
        return;
    txtAlbumTitle->setFocus(Qt::OtherFocusReason);
    FirstActivated = true;
}

bool frmEdit::eventFilter(QObject* watched, QEvent* e)
{
    // GotFocus of the three boxes: SelectAllText.
    if (e->type() == QEvent::FocusIn) {
        if (auto* box = qobject_cast<QLineEdit*>(watched))
            box->setSelection(0, int(box->text().size()));
    }
    return QDialog::eventFilter(watched, e);
}

void frmEdit::lstTracks_Click()
{
    if (txtTrack->text().trimmed().isEmpty())
        return;
    const int i = lstTracks->ListIndex();
    if (i < 0)
        return;
    const QString t = txtTrack->text().trimmed();
    if (entryTitle(lstTracks->List(i)) != t)
        lstTracks->item(i)->setText(entryText(i + 1, t));
    txtTrack->clear();
}

void frmEdit::lstTracks_DblClick()
{
    const int i = lstTracks->ListIndex();
    if (i < 0)
        return;
    txtTrack->setText(entryTitle(lstTracks->List(i)));
}

void frmEdit::cmdFont_Click()
{
    PlayerState& s = ctx_.state;
    CommonDlg dlg;
    dlg.setForm(mainWindow_);
    const auto size = kb::numtext::toInt32(s.TitleFontSize);
    if (s.TitleFontSize.isEmpty() || s.TitleFontSize == QLatin1String("0"))
        dlg.setFontSize(9);
    else if (size && *size >= INT16_MIN && *size <= INT16_MAX)
        dlg.setFontSize(int16_t(*size));
    dlg.setFontName(s.TitleFontName.isEmpty() ? QStringLiteral("Times New Roman") : s.TitleFontName);
    dlg.setFontBold(styleFlag(s.TitleFontExt, 0));
    dlg.setFontItalic(styleFlag(s.TitleFontExt, 1));
    dlg.setFontStrikethru(styleFlag(s.TitleFontExt, 2));
    dlg.setFontUnderline(styleFlag(s.TitleFontExt, 3));
    dlg.setFlags(1);
    if (!dlg.ShowFont())
        return;
    if (dlg.FontSize() == 0 || dlg.FontName().isEmpty())
        return;

    QString ext = QStringLiteral("0000");
    const bool flags[4] = {dlg.FontBold(), dlg.FontItalic(), dlg.FontStrikethru(), dlg.FontUnderline()};
    for (int k = 0; k < 4; ++k) {
        if (flags[k])
            ext[k] = u'1';
    }
    s.TitleFontExt = ext;
    s.TitleFontSize = QString::number(dlg.FontSize());
    s.TitleFontName = dlg.FontName();
    applyTitleFont();
}

void frmEdit::cmdOk_Click()
{
    PlayerState& s = ctx_.state;
    s.TitleEditOk = true;
    s.CdAlbumTitle = txtAlbumTitle->text();
    s.CdArtistName = txtArtist->text();
    for (int k = 0; k < lstTracks->ListCount() && k + 1 < s.TrackTitles.size(); ++k)
        s.TrackTitles[k + 1] = entryTitle(lstTracks->List(k));
    accept();
}

void frmEdit::cmdCancel_Click() { reject(); }

void frmEdit::Form_QueryUnload(int& cancel, int)
{
    cancel = 0;
    if (ctx_.state.OptTemae == QLatin1String("0"))
        return;
    kb::app::setTopmost(this, false);
    kb::app::setTopmost(mainWindow_, true);
}

void frmEdit::done(int result)
{
    int cancel = 0;
    Form_QueryUnload(cancel, 0);
    QDialog::done(result);
}

void frmEdit::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (!background_.isNull())
        p.drawPixmap(rect(), background_);
    else
        p.fillRect(rect(), QColor(40, 42, 46));
}

void frmEdit::changeEvent(QEvent* e)
{
    QDialog::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow())
        Form_Activate();
}

void frmEdit::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    // Window systems that never activate a new window by themselves still get the focus
    // into the album box once the dialog is up.
    QMetaObject::invokeMethod(this, [this] { Form_Activate(); }, Qt::QueuedConnection);
}
