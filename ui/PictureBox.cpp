#include "ui/PictureBox.h"

#include "ui/LedLabel.h"
#include "ui/Twips.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

using kb::ui::bgr;

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) { setFocusPolicy(Qt::NoFocus); }

void PictureBox::setForeColor(uint32_t v)
{
    fore_ = v;
    update();
}

void PictureBox::setBackColor(uint32_t v)
{
    back_ = v;
    update();
}

void PictureBox::setPicture(const QPixmap& p)
{
    picture_ = p;
    update();
}

void PictureBox::Cls()
{
    printed_.clear();
    update();
}

void PictureBox::Print(const QString& text)
{
    printed_ += text;
    update();
}

int PictureBox::TextWidth(const QString& text) const
{
    return int(std::lround(QFontMetricsF(font()).horizontalAdvance(text) * kb::ui::twipsPerPixel()));
}

void PictureBox::changeFont(const std::function<void(QFont&)>& change)
{
    QFont f = font();
    change(f);
    setFont(f);
    update();
}

void PictureBox::setFontName(const QString& name)
{
    changeFont([&](QFont& f) { f.setFamily(name); });
}

void PictureBox::setFontSize(int points)
{
    if (points > 0)
        changeFont([&](QFont& f) { f.setPointSize(points); });
}

void PictureBox::setFontBold(bool on)
{
    changeFont([&](QFont& f) { f.setBold(on); });
}

void PictureBox::setFontItalic(bool on)
{
    changeFont([&](QFont& f) { f.setItalic(on); });
}

void PictureBox::setFontStrikethru(bool on)
{
    changeFont([&](QFont& f) { f.setStrikeOut(on); });
}

void PictureBox::setFontUnderline(bool on)
{
    changeFont([&](QFont& f) { f.setUnderline(on); });
}

void PictureBox::setLeft(int twips)
{
    left_ = twips;
    applyGeometry();
}

void PictureBox::setWidth(int twips)
{
    width_ = std::max(0, twips);
    applyGeometry();
}

void PictureBox::setHeight(int twips)
{
    height_ = std::max(0, twips);
    applyGeometry();
}

void PictureBox::setTwipsGeometry(int left, int top, int width, int height)
{
    left_ = left;
    top_ = top;
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    applyGeometry();
}

void PictureBox::applyGeometry()
{
    const double tpp = kb::ui::twipsPerPixel();
    setGeometry(int(std::lround(left_ / tpp)), int(std::lround(top_ / tpp)),
                int(std::lround(width_ / tpp)), int(std::lround(height_ / tpp)));
}

void PictureBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (!(back_ & 0x80000000u))
        p.fillRect(rect(), bgr(back_));
    if (!picture_.isNull())
        p.drawPixmap(rect(), picture_);
    if (!printed_.isEmpty()) {
        p.setRenderHint(QPainter::TextAntialiasing);
        p.setFont(font());
        p.setPen(bgr(fore_));
        p.drawText(rect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, printed_);
    }
}

void PictureBox::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
        emit clicked();
}

void PictureBox::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    emit mouseMoved(mouseButtonCode(e->button()), shiftStateCode(e->modifiers()), pos.x(), pos.y());
}
