#include "ui/SkinButton.h"

#include "ui/SkinArt.h"

#include <QPainter>

SkinButton::SkinButton(const QString& art, QWidget* parent) : QAbstractButton(parent)
{
    const QString base = QStringLiteral("btn_%1_").arg(art);
    normal_ = kb::ui::skinPixmap(base + "normal.png");
    pressed_ = kb::ui::skinPixmap(base + "pressed.png");
    disabled_ = kb::ui::skinPixmap(base + "disabled.png");
    setFocusPolicy(Qt::NoFocus);
    setCursor(kb::ui::clickCursor());
}

QSize SkinButton::sizeHint() const { return normal_.isNull() ? QSize(24, 24) : normal_.size(); }

void SkinButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QPixmap& pic = !isEnabled() ? disabled_ : (isDown() ? pressed_ : normal_);
    if (!pic.isNull()) {
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawPixmap(rect(), pic);
        return;
    }
    p.fillRect(rect(), isDown() ? QColor(40, 40, 44) : QColor(70, 70, 76));
}
