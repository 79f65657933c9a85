#include "ui/SkinArt.h"
#include "ui/SkinButton.h"

#include <QImage>
#include <QPainter>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

// What the button paints over a plain background.
QImage rendered(QWidget& button)
{
    QImage img(button.size(), QImage::Format_ARGB32_Premultiplied);
    img.fill(QColor(10, 200, 30));
    button.render(&img, {}, {}, QWidget::DrawChildren);
    return img;
}

QImage expected(const QString& file, QSize size)
{
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(QColor(10, 200, 30));
    QPainter p(&img);
    p.drawPixmap(0, 0, kb::ui::skinPixmap(file));
    return img;
}

// The looks are read when first painted: each state must still show its own picture.
TEST(SkinButton, PaintsThePictureOfItsState)
{
    QWidget parent;
    SkinButton button(QStringLiteral("play"), &parent);
    const QSize size = kb::ui::skinPixmap(QStringLiteral("btn_play_normal.png")).size();
    ASSERT_FALSE(size.isEmpty());
    EXPECT_EQ(button.sizeHint(), size);
    button.resize(size);

    const QImage normal = rendered(button);
    EXPECT_EQ(normal, expected(QStringLiteral("btn_play_normal.png"), size));
    button.setDown(true);
    const QImage pressed = rendered(button);
    EXPECT_EQ(pressed, expected(QStringLiteral("btn_play_pressed.png"), size));
    button.setDown(false);
    button.setEnabled(false);
    const QImage disabled = rendered(button);
    EXPECT_EQ(disabled, expected(QStringLiteral("btn_play_disabled.png"), size));
    EXPECT_NE(normal, pressed);
    EXPECT_NE(normal, disabled);
}

} // namespace
