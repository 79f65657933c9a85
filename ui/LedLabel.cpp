#include "ui/LedLabel.h"

#include "ui/SkinArt.h"
#include "ui/Twips.h"

#include <QMouseEvent>
#include <QPainter>

#include <utility>

using kb::ui::bgr;

LedLabel::LedLabel(QWidget* parent, const QString& caption) : QWidget(parent), caption_(caption)
{
    setFocusPolicy(Qt::NoFocus);
}

void LedLabel::setCaption(const QString& text)
{
    if (text == caption_)
        return;
    caption_ = text;
    update();
    emit captionChanged(caption_);
}

void LedLabel::setForeColor(uint32_t v)
{
    fore_ = v;
    update();
}

void LedLabel::setBackColor(uint32_t v)
{
    back_ = v;
    update();
}

void LedLabel::setTransparent(bool on)
{
    transparent_ = on;
    update();
}

void LedLabel::setAlignment(Qt::Alignment a)
{
    align_ = a;
    update();
}

void LedLabel::setWordWrap(bool on)
{
    wordWrap_ = on;
    update();
}

void LedLabel::setClickable(bool on)
{
    if (on)
        setCursor(kb::ui::clickCursor());
    else
        unsetCursor();
}

void LedLabel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (!transparent_)
        p.fillRect(rect(), bgr(back_));
    p.setFont(font());
    paintText(p);
}

void LedLabel::paintText(QPainter& p)
{
    QColor c = bgr(fore_);
    if (!isEnabled())
        c = QColor(c.red() / 4 + 20, c.green() / 4 + 20, c.blue() / 4 + 20);
    p.setPen(c);
    p.drawText(rect(), int(align_) | (wordWrap_ ? int(Qt::TextWordWrap) : 0), caption_);
}

void LedLabel::mousePressEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    emit mouseDown(mouseButtonCode(e->button()), shiftStateCode(e->modifiers()),
                   kb::ui::toTwips(pos.x()), kb::ui::toTwips(pos.y()));
}

void LedLabel::mouseReleaseEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    const bool endsDoubleClick = std::exchange(releaseEndsDoubleClick_, false);
    emit mouseUp(mouseButtonCode(e->button()), shiftStateCode(e->modifiers()),
                 kb::ui::toTwips(pos.x()), kb::ui::toTwips(pos.y()));
    if (!endsDoubleClick && e->button() == Qt::LeftButton && rect().contains(pos))
        emit clicked();
}

void LedLabel::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) {
        mousePressEvent(e);
        return;
    }
    releaseEndsDoubleClick_ = true;
    emit doubleClicked();
}

int mouseButtonCode(Qt::MouseButton b)
{
    switch (b) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}

int shiftStateCode(Qt::KeyboardModifiers m)
{
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0)
           | (m & Qt::AltModifier ? 4 : 0);
}
