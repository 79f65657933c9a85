#include "app/Openning.h"

#include "app/Toolkit.h"
#include "ui/SkinArt.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

Openning::Openning(QWidget* parent) : QWidget(parent)
{
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setWindowTitle(kb::app::AppTitle());
    setFixedSize(kb::app::twipsToPixelsX(kWidthTwips), kb::app::twipsToPixelsY(kHeightTwips));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    Form_Load();
}

// The picture is stored with the artwork: drawing it here would load fonts before the
// splash can be shown.
void Openning::Form_Load() { picture_ = kb::ui::skinPixmap(QStringLiteral("splash.png")); }

void Openning::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (picture_.isNull()) {
        p.fillRect(rect(), palette().window());
        return;
    }
    p.drawPixmap(rect(), picture_);
}
