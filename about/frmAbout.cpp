#include "about/frmAbout.h"

#include "app/Toolkit.h"
#include "ui/LedLabel.h"
#include "ui/PanelFonts.h"
#include "ui/SkinArt.h"
#include "ui/Twips.h"

#include <QDesktopServices>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>

using kb::ui::placeTwips;

const QString frmAbout::kUnavailableMessage = QStringLiteral("現時点ではｼｽﾃﾑ情報を使用できません");

namespace {

constexpr int kFormWidth = 5730;
constexpr int kFormHeight = 3705;

const QString kWebLink = QStringLiteral("https://kobaltune.example/");
const QString kMailLink = QStringLiteral("support@kobaltune.example");

} // namespace

frmAbout::frmAbout(QWidget* owner)
    : QDialog(owner), sysInfoSearch(kb::shell::SystemInfoSearch::fromEnvironment()),
      message([](const QString& text) {
          kb::app::MsgBox(text, QMessageBox::NoIcon, QMessageBox::Ok, kb::app::AppTitle());
      })
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);
    setFixedSize(kb::ui::toPx(kFormWidth), kb::ui::toPx(kFormHeight));
    setMouseTracking(true);
    kb::ui::installFontSubstitutions();
    createControls();
    Form_Load();
}

void frmAbout::createControls()
{
    auto label = [this](const QString& caption, uint32_t color, int points, int l, int t, int w, int h) {
        auto* lab = new LedLabel(this, caption);
        lab->setTransparent(true);
        lab->setForeColor(color);
        lab->setFont(kb::ui::aboutFont(points));
        lab->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        lab->setWordWrap(true);
        placeTwips(lab, l, t, w, h);
        return lab;
    };
    picIcon = new QLabel(this);
    picIcon->setPixmap(kb::ui::skinPixmap(QStringLiteral("icon.png"))
                           .scaled(kb::ui::toPx(540), kb::ui::toPx(540), Qt::KeepAspectRatio,
                                   Qt::SmoothTransformation));
    placeTwips(picIcon, 240, 240, 540, 540);

    Label2[0] = label(QStringLiteral("Kobaltune【マルチメディアプレーヤー】"), 0, 11, 1050, 240, 4440, 330);
    Label2[1] = label(QStringLiteral("Ver1.0.8"), 0, 9, 1050, 600, 3000, 255);
    Line1[0] = new QFrame(this);
    Label3 = label(QStringLiteral("Copyright (C) Kobaltune 開発チーム。このソフトウェアは無保証で提供されます。"),
                   0, 9, 1050, 1020, 4440, 450);
    Label4[1] = label(kWebLink, kLinkColor, 9, 1050, 1560, 4440, 255);
    Label4[2] = label(kMailLink, kLinkColor, 9, 1050, 1860, 4440, 255);
    Line1[1] = new QFrame(this);
    const int lineTop[2] = {930, 2340};
    for (int i = 0; i < 2; ++i) {
        Line1[size_t(i)]->setFrameShape(QFrame::HLine);
        Line1[size_t(i)]->setFrameShadow(QFrame::Sunken);
        placeTwips(Line1[size_t(i)], 225, lineTop[i], 5280, 30);
    }
    for (int i = 1; i <= 2; ++i) {
        LedLabel* link = Label4[size_t(i)];
        link->setClickable(true);
        link->setMouseTracking(true);
        link->installEventFilter(this);
        link->setToolTip(QStringLiteral("ﾀﾞﾌﾞﾙｸﾘｯｸで開きます"));
        connect(link, &LedLabel::doubleClicked, this, [this, i] { Label4_DblClick(i); });
    }

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    placeTwips(cmdOK, 4245, 2625, 1260, 375);
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton(QStringLiteral("ｼｽﾃﾑ情報(&S)..."), this);
    placeTwips(cmdSysInfo, 4260, 3075, 1245, 345);
    cmdSysInfo->setAutoDefault(false);
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdSysInfo, &QPushButton::clicked, this, [this] { cmdSysInfo_Click(); });
}

void frmAbout::Form_Load() { setWindowTitle(kb::app::AppTitle() + QStringLiteral("のﾊﾞｰｼﾞｮﾝ情報")); }

void frmAbout::Form_MouseMove(int, int, int, int)
{
    for (int i = 1; i <= 2; ++i) {
        if (Label4[size_t(i)]->foreColor() != kLinkColor)
            Label4[size_t(i)]->setForeColor(kLinkColor);
    }
}

void frmAbout::Label4_MouseMove(int index, int, int, int, int)
{
    if (index == 1 || index == 2)
        Label4[size_t(index)]->setForeColor(kHoverColor);
}

QUrl frmAbout::linkUrl(const QString& caption)
{
    const QString text = caption.trimmed();
    const QUrl url(text, QUrl::StrictMode);
    if (url.isValid() && !url.scheme().isEmpty())
        return url;
    if (text.contains(QLatin1Char('@')) && !text.contains(QLatin1Char('/')))
        return QUrl(QStringLiteral("mailto:") + text);
    return QUrl::fromUserInput(text);
}

void frmAbout::Label4_DblClick(int index)
{
    if (index != 1 && index != 2)
        return;
    // A link the desktop cannot open is not reported.
    QDesktopServices::openUrl(linkUrl(Label4[size_t(index)]->caption()));
}

void frmAbout::cmdOK_Click() { accept(); }

void frmAbout::cmdSysInfo_Click() { StartSysInfo(); }

void frmAbout::StartSysInfo()
{
    const QStringList command = kb::shell::findSystemInfoProgram(sysInfoSearch);
    if (!command.isEmpty() && kb::shell::startProgram(command))
        return;
    if (message)
        message(kUnavailableMessage);
}

void frmAbout::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    Form_MouseMove(mouseButtonCode(e->button()), shiftStateCode(e->modifiers()), kb::ui::toTwips(pos.x()),
                   kb::ui::toTwips(pos.y()));
    QDialog::mouseMoveEvent(e);
}

bool frmAbout::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::MouseMove) {
        for (int i = 1; i <= 2; ++i) {
            if (watched != Label4[size_t(i)])
                continue;
            const auto* me = static_cast<QMouseEvent*>(e);
            const QPoint pos = me->position().toPoint();
            Label4_MouseMove(i, mouseButtonCode(me->button()), shiftStateCode(me->modifiers()),
                             kb::ui::toTwips(pos.x()), kb::ui::toTwips(pos.y()));
            return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}
