#include "ui/frmMedia.h"

#include "mci/DeviceModes.h"
#include "playback/RepeatOrder.h"
#include "playback/TimeDisplay.h"
#include "playback/TrackGrid.h"
#include "titles/TitleStore.h"
#include "ui/KeySink.h"
#include "ui/LedLabel.h"
#include "ui/MeterSegment.h"
#include "ui/PanelFonts.h"
#include "ui/PictureBox.h"
#include "ui/SkinArt.h"
#include "ui/SkinButton.h"
#include "ui/SkinOption.h"
#include "ui/Twips.h"
#include "ui/Volume.h"
#include "ui/VolumeBar.h"
#include "browser/DriveSelection.h"
#include "browser/FileList.h"
#include "browser/OpenFile.h"
#include "mci/MessageHook.h"
#include "playback/StatusPoller.h"
#include "playback/Transport.h"
#include "playback/TransportWiring.h"
#include "ui/DialogWiring.h"
#include "ui/KeyTable.h"
#include "ui/OptionsHelp.h"
#include "titles/TitleEditing.h"
#include "ui/PowerTray.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QHeaderView>
#include <QPainter>
#include <QWindow>

using kb::ui::placeTwips;

namespace {

constexpr int kDesignWidth = 7905;
constexpr int kDesignHeight = 6780;

SkinButton* makeButton(QWidget* parent, const QString& art, const QString& tip, int l, int t,
                       int w, int h)
{
    auto* b = new SkinButton(art, parent);
    b->setToolTip(tip);
    placeTwips(b, l, t, w, h);
    return b;
}

LedLabel* makeLabel(QWidget* parent, const QString& caption, uint32_t fore, const QFont& font,
                    int l, int t, int w, int h, const QString& tip = {})
{
    auto* lab = new LedLabel(parent, caption);
    lab->setForeColor(fore);
    lab->setBackColor(0);
    lab->setFont(font);
    lab->setToolTip(tip);
    placeTwips(lab, l, t, w, h);
    return lab;
}

} // namespace

frmMedia::frmMedia(AppContext& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx)
{
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setWindowTitle(QStringLiteral("Kobaltune"));
    kb::ui::installFontSubstitutions();
    checkArtwork();
    setWindowIcon(QIcon(kb::ui::skinPixmap(QStringLiteral("icon.png"))));
    skin_ = kb::ui::skinPixmap(QStringLiteral("panel.bmp"));
    setFixedSize(kb::ui::toPx(kDesignWidth), kb::ui::toPx(kDesignHeight));
    createControls();
    createLabels();
    createMenus();

    modes = std::make_unique<DeviceModes>(ctx_, *this);
    timeDisplay = std::make_unique<TimeDisplay>(ctx_, *this);
    grid = std::make_unique<TrackGrid>(ctx_, *this);
    repeat = std::make_unique<RepeatOrder>(ctx_, *this);
    titles = std::make_unique<TitleStore>(ctx_);
    volume = std::make_unique<Volume>(ctx_, *this);

    timCD = new QTimer(this);
    timCD->setInterval(1000);
    timScroll = new QTimer(this);
    timScroll->setInterval(400);
    timScroll->start();
    connectPlayback(ctx_, *this);
    connectDialogs(ctx_, *this);

    connectControls();
    Form_Initialize();
}

frmMedia::~frmMedia() = default;

void frmMedia::checkArtwork()
{
    const QStringList formats = kb::ui::missingImageFormats();
    const QStringList art = kb::ui::missingArtwork();
    if (formats.isEmpty() && art.isEmpty())
        return;
    creationError_ = 339;
    QStringList why;
    if (!formats.isEmpty())
        why << QStringLiteral("image formats not supported: ") + formats.join(", ");
    if (!art.isEmpty())
        why << QStringLiteral("artwork missing: ") + art.join(", ");
    creationErrorDescription_ =
        QStringLiteral("A component of the main window could not be loaded (") + why.join("; ") + ")";
}

void frmMedia::createControls()
{
    cmdPower = makeButton(this, "power", "POWER(Esc)", 360, 270, 375, 285);
    cmdIcon = makeButton(this, "icon", "最小化(Home)", 3270, 270, 285, 285);
    cmdOpen = makeButton(this, "open", "開く", 7020, 90, 495, 285);
    cmdPlay = makeButton(this, "play", "再生(Enter)", 780, 1740, 935, 375);
    cmdPause = makeButton(this, "pause", "一時停止", 2595, 1740, 555, 375);
    cmdStop = makeButton(this, "stop", "停止(Ctrl+Enter)", 3195, 1740, 375, 375);
    cmdRR = makeButton(this, "rr", "ｽｷｯﾌﾟ(巻き戻し)", 1785, 1740, 360, 375);
    cmdFF = makeButton(this, "ff", "ｽｷｯﾌﾟ(早送り)", 2160, 1740, 360, 375);
    cmdTop = makeButton(this, "top", "最初の曲(Ctrl+Left)", 375, 2145, 570, 375);
    cmdPrev = makeButton(this, "prev", "前の曲(Shift+Left)", 975, 2145, 735, 375);
    cmdNext = makeButton(this, "next", "次の曲(Shift+Right)", 1785, 2145, 735, 375);
    cmdBottom = makeButton(this, "bottom", "最後の曲(Ctrl+Right)", 2595, 2145, 555, 375);
    cmdEject = makeButton(this, "eject", "取り出し(Delete)", 3195, 2145, 375, 375);
    cmdUpDrive = makeButton(this, "updrive", {}, 375, 1740, 375, 195);
    cmdDownDrive = makeButton(this, "downdrive", {}, 375, 1920, 375, 195);

    hscVolume[0] = new VolumeBar(this);
    placeTwips(hscVolume[0], 2310, 1530, 1260, 165);
    const QFont legend = kb::ui::legendFont(7);
    optCdOrAux[0] = new SkinOption(QStringLiteral("CD"), this);
    optCdOrAux[0]->setToolTip(QStringLiteral("CDｵｰﾃﾞｨｵ出力"));
    placeTwips(optCdOrAux[0], 1200, 1515, 510, 210);
    optCdOrAux[1] = new SkinOption(QStringLiteral("AUX"), this);
    optCdOrAux[1]->setToolTip(QStringLiteral("外部出力"));
    placeTwips(optCdOrAux[1], 1695, 1515, 610, 210);
    for (auto* o : optCdOrAux)
        o->setFont(legend);
    optCdOrAux[0]->setChecked(true);

    picFrame = new PictureBox(this);
    picFrame->setTwipsGeometry(720, 260, 2555, 280);
    picCenter = new PictureBox(picFrame);
    picCenter->setTwipsGeometry(720, 0, 975, 255);
    picCenter->setCursor(kb::ui::clickCursor());
    picCenter->setFont(kb::ui::titleFont(QStringLiteral("Times New Roman"), 9));

    fraVideo = new PictureBox(this);
    fraVideo->setTwipsGeometry(345, 3135, 3195, 3195);
    fraVideo->setBackColor(0);
    picVideo = new PictureBox(fraVideo);
    picVideo->setTwipsGeometry(0, 0, 3195, 3195);
    picVideo->setBackColor(0);

    lvwFileList = new QTreeWidget(this);
    lvwFileList->setObjectName(QStringLiteral("lvwFileList"));
    // Fonts and style first: the header measures its labels in the font it has when they come.
    lvwFileList->setFont(kb::ui::listFont());
    lvwFileList->header()->setFont(kb::ui::listFont());
    lvwFileList->setStyleSheet(kb::ui::fileListStyle());
    lvwFileList->setHeaderLabels({QStringLiteral("ﾌｧｲﾙ名"), QStringLiteral("ｻｲｽﾞ"), QStringLiteral("種類"),
                                  QStringLiteral("更新日時"), QStringLiteral("属性"), QStringLiteral("DOS名")});
    lvwFileList->setRootIsDecorated(false);
    lvwFileList->setUniformRowHeights(true);
    lvwFileList->setIconSize(QSize(16, 16));
    lvwFileList->setSelectionMode(QAbstractItemView::SingleSelection);
    placeTwips(lvwFileList, 4290, 540, 3210, 2295);

    txtDummy = new KeySink(this);
    placeTwips(txtDummy, 9180, 5865, 255, 270);
    picTray = new PictureBox(this);
    picTray->setTwipsGeometry(8880, 5880, 255, 255);
    PicDummy = new PictureBox(this);
    PicDummy->setTwipsGeometry(8640, 5880, 270, 270);
}

void frmMedia::createLabels()
{
    const QFont legend = kb::ui::legendFont(7);
    Label2[1] = makeLabel(this, "VOLUME", 0xFFFFFF, legend, 450, 1500, 735, 180);
    Label2[1]->setTransparent(true);

    lblMute = makeLabel(this, "○", 0x0000FF, kb::ui::legendFont(8), 2910, 1080, 225, 165, "ﾐｭｰﾄ(Space)");
    lblMute->setClickable(true);
    lblMute->setAlignment(Qt::AlignCenter);
    lblPause = makeLabel(this, "||", 0x0000FF, kb::ui::legendFont(7, true), 2910, 1290, 165, 165);
    lblPause->setAlignment(Qt::AlignCenter);
    lblRep = makeLabel(this, "REP", 0x0000FF, kb::ui::legendFont(6, true), 450, 645, 375, 135, "繰り返し");
    lblRep->setClickable(true);
    lblRep->setAlignment(Qt::AlignCenter);

    Label1[0] = makeLabel(this, "TRACK", 0xFFFF00, kb::ui::legendFont(6), 855, 645, 495, 135);
    Label1[1] = makeLabel(this, "CD", 0x00FFFF, kb::ui::deviceFont(), 450, 795, 855, 255, "ﾃﾞﾊﾞｲｽの変更");
    Label1[1]->setClickable(true);
    Label1[2] = makeLabel(this, "TOTAL TIME", 0xFFFF00, kb::ui::legendFont(6), 1695, 645, 1335, 135,
                          "時間表示切替え");
    Label1[2]->setClickable(true);
    Label1[2]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label1[3] = makeLabel(this, "MAX", 0x00FFFF, kb::ui::legendFont(6), 3225, 600, 345, 165);
    Label1[4] = makeLabel(this, "MIN", 0x00FFFF, kb::ui::legendFont(6), 3255, 1320, 285, 165);

    lblTrackNo = makeLabel(this, "01:", 0x00FFFF, kb::ui::ledFont(14), 1335, 735, 400, 360);
    lblTime = makeLabel(this, "00:00", 0x00FFFF, kb::ui::ledFont(16), 2295, 720, 855, 375);
    lblTime->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblAllTime = makeLabel(this, "00:00", 0x00FFFF, kb::ui::ledFont(9), 1815, 840, 495, 255);
    lblAllTime->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    static constexpr int kMeterTop[5] = {1200, 1080, 960, 840, 720};
    for (int i = 0; i < 10; ++i) {
        auto* seg = new MeterSegment(this);
        seg->setForeColor(0);
        placeTwips(seg, i < 5 ? 3210 : 3375, kMeterTop[i % 5], 180, 180);
        lblColor[size_t(i)] = seg;
    }

    static constexpr int kGridLeft[10] = {480, 705, 945, 1185, 1425, 1665, 1905, 2145, 2385, 2625};
    static constexpr int kGridTop[3] = {1080, 1200, 1320};
    const QFont gridFont = kb::ui::gridFont();
    for (int k = 0; k < 30; ++k) {
        auto* cell = makeLabel(this, "00", 0x00FFFF, gridFont, kGridLeft[k % 10], kGridTop[k / 10], 195, 165);
        cell->setAlignment(Qt::AlignCenter);
        cell->setClickable(true);
        lblTracks[size_t(k)] = cell;
    }
}

void frmMedia::createMenus()
{
    mnuPopUp = new QMenu(QStringLiteral("ﾎﾟｯﾌﾟｱｯﾌﾟ"), this);
    mnuPopUpMotoSize = mnuPopUp->addAction(QStringLiteral("元のｻｲｽﾞに戻す(&M)"));
    mnuPopUp->addSeparator();
    mnuPopUpPlay = mnuPopUp->addAction(QStringLiteral("再生(&P)"));
    mnuPopUpPause = mnuPopUp->addAction(QStringLiteral("一時停止(&I)"));
    mnuPopUpStop = mnuPopUp->addAction(QStringLiteral("停止(&S)"));
    mnuPopUpTop = mnuPopUp->addAction(QStringLiteral("最初の曲(&T)"));
    mnuPopUpPrev = mnuPopUp->addAction(QStringLiteral("前の曲(&B)"));
    mnuPopUpNext = mnuPopUp->addAction(QStringLiteral("次の曲(&N)"));
    mnuPopUpBottom = mnuPopUp->addAction(QStringLiteral("最後の曲(&L)"));
    mnuPopUpEject = mnuPopUp->addAction(QStringLiteral("取り出し(&E)"));
    mnuPopUp->addSeparator();
    mnuPopUpAllSong = mnuPopUp->addMenu(QStringLiteral("全ての曲(&A)..."));
    mnuPopUpAllSongs.append(mnuPopUpAllSong->addAction(QString()));
    mnuPopUp->addSeparator();
    mnuOptionTaskTray = mnuPopUp->addAction(QStringLiteral("最小時ﾀｽｸﾄﾚｲに入れる(&T)"));
    mnuOptionTaskTray->setVisible(false);
    mnuOptionTaskTray->setEnabled(false);
    mnuOptionTemae = mnuPopUp->addAction(QStringLiteral("常に手前に表示する(&U)"));
    mnuOptionTemae->setCheckable(true);
    mnuOptionAutoRun = mnuPopUp->addAction(QStringLiteral("ｵｰﾃﾞｨｵCDの自動演奏(&R)"));
    mnuOptionAutoRun->setCheckable(true);
    mnuHelpVersion = mnuPopUp->addAction(QStringLiteral("ﾊﾞｰｼﾞｮﾝ(&V)..."));
    mnuHelpHelp = mnuPopUp->addAction(QStringLiteral("ﾍﾙﾌﾟ(&H)..."));
    mnuPopUp->addSeparator();
    mnuPopUpEnd = mnuPopUp->addAction(QStringLiteral("終了(&X)"));

    mnuDevice = new QMenu(QStringLiteral("ﾃﾞﾊﾞｲｽ"), this);
    mnuDeviceCD = mnuDevice->addAction(QStringLiteral("&CD"));
    mnuDeviceAVI = mnuDevice->addAction(QStringLiteral("&VIDEO"));
    mnuDeviceWAV = mnuDevice->addAction(QStringLiteral("&WAVE"));
    mnuDeviceMIDI = mnuDevice->addAction(QStringLiteral("&MIDI"));
    mnuDeviceMP3 = mnuDevice->addAction(QStringLiteral("M&P3"));
}

void frmMedia::connectControls()
{
    popupMenu = [](QMenu* menu) { menu->exec(QCursor::pos()); };

    for (int i = 0; i < int(Label1.size()); ++i) {
        connect(Label1[size_t(i)], &LedLabel::mouseDown, this,
                [this, i](int button, int shift, int x, int y) { Label1_MouseDown(i, button, shift, x, y); });
        connect(Label1[size_t(i)], &LedLabel::clicked, this, [this, i] { modes->Label1_Click(i); });
    }
    connect(mnuDeviceCD, &QAction::triggered, this, [this] { modes->mnuDeviceCD_Click(); });
    connect(mnuDeviceAVI, &QAction::triggered, this, [this] { modes->mnuDeviceAVI_Click(); });
    connect(mnuDeviceWAV, &QAction::triggered, this, [this] { modes->mnuDeviceWAV_Click(); });
    connect(mnuDeviceMIDI, &QAction::triggered, this, [this] { modes->mnuDeviceMIDI_Click(); });
    connect(mnuDeviceMP3, &QAction::triggered, this, [this] { modes->mnuDeviceMP3_Click(); });
    for (int i = 0; i < 2; ++i)
        connect(optCdOrAux[size_t(i)], &QAbstractButton::clicked, this, [this, i] { modes->optCdOrAux_Click(i); });

    connect(hscVolume[0], &QScrollBar::valueChanged, this, [this] { volume->hscVolume_Change(0); });
    connect(lblMute, &LedLabel::clicked, this, [this] { volume->lblMute_Click(); });
    connect(lblRep, &LedLabel::clicked, this, [this] { repeat->lblRep_Click(); });

    for (int k = 0; k < int(lblTracks.size()); ++k)
        connect(lblTracks[size_t(k)], &LedLabel::clicked, this, [this, k] { grid->lblTracks_Click(k); });
    connect(mnuPopUpAllSong, &QMenu::triggered, this, [this](QAction* a) {
        const int index = int(mnuPopUpAllSongs.indexOf(a));
        if (index >= 0)
            grid->mnuPopUpAllSongs_Click(index);
    });

    connect(timScroll, &QTimer::timeout, this, [this] { timeDisplay->timScroll_Timer(); });
    connect(mnuPopUpMotoSize, &QAction::triggered, this, [this] { mnuPopUpMotoSize_Click(); });
    connect(mnuPopUpEnd, &QAction::triggered, this, [this] {
        if (powerOff)
            powerOff();
    });
}

int frmMedia::Left() const { return kb::ui::toTwips(x()); }
int frmMedia::Top() const { return kb::ui::toTwips(y()); }
int frmMedia::Width() const { return kb::ui::toTwips(width()); }
int frmMedia::Height() const { return kb::ui::toTwips(height()); }

void frmMedia::Move(int left, int top, int width, int height)
{
    move(kb::ui::toPx(left), kb::ui::toPx(top));
    setWindowSize(width, height);
}

void frmMedia::setWindowSize(int width, int height)
{
    setFixedSize(kb::ui::toPx(width), kb::ui::toPx(height));
}

void frmMedia::paintSkin()
{
    // The skin is painted once, stretched to the window's size at that moment; later size
    // changes show more or less of that painting, never a rescaled one.
    painted_ = QPixmap(size());
    painted_.fill(QColor(40, 42, 46));
    QPainter p(&painted_);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!skin_.isNull())
        p.drawPixmap(painted_.rect(), skin_);
}

void frmMedia::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (!painted_.isNull())
        p.drawPixmap(0, 0, painted_);
    else if (!skin_.isNull())
        p.drawPixmap(0, 0, skin_);
}

void frmMedia::changeEvent(QEvent* e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::WindowStateChange)
        Form_Resize();
    else if (e->type() == QEvent::ActivationChange && isActiveWindow())
        Form_Activate();
}

void frmMedia::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    // Some window systems never activate a new window by themselves (plain X without a window
    // manager, some Wayland compositors): the first activation then runs once the window is
    // first on screen instead of waiting for the user's first click.
    if (FormActivated || watchingFirstExpose_ || !windowHandle())
        return;
    watchingFirstExpose_ = true;
    windowHandle()->installEventFilter(this);
}

bool frmMedia::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::Expose && watched == windowHandle() && windowHandle()->isExposed()) {
        windowHandle()->removeEventFilter(this);
        QMetaObject::invokeMethod(this, [this] { Form_Activate(); }, Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, e);
}

void frmMedia::closeEvent(QCloseEvent* e)
{
    int cancel = 0;
    Form_Unload(cancel);
    if (cancel)
        e->ignore();
    else
        e->accept();
}
