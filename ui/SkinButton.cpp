#include "ui/SkinButton.h"

#include "ui/SkinArt.h"

#include <QPainter>

SkinButton::SkinButton(const QString& art, QWidget* parent)
    : QAbstractButton(parent), base_(QStringLiteral("btn_%1_").arg(art))
{
    setFocusPolicy(Qt::NoFocus);
    setCursor(kb::ui::clickCursor());
}

// Each look is read when it is first painted (then kept by the pixmap cache): most buttons
// show one or two of their three looks in a run, and none before the window is shown.
QPixmap SkinButton::look(const char* name) const
{
    return kb::ui::skinPixmap(base_ + QLatin1String(name) + QStringLiteral(".png"));
}

QSize SkinButton::sizeHint() const
{
    const QPixmap normal = look("normal");
    return normal.isNull() ? QSize(24, 24) : normal.size();
}

void SkinButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QPixmap pic = look(!isEnabled() ? "disabled" : (isDown() ? "pressed" : "normal"));
    if (!pic.isNull()) {
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawPixmap(rect(), pic);
        return;
    }
    p.fillRect(rect(), isDown() ? QColor(40, 40, 44) : QColor(70, 70, 76));
}
