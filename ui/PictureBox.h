#pragma once

#include <QPixmap>
#include <QFont>

#include <functional>
#include <QWidget>

#include <cstdint>

// A picture box: back and fore colour (0x00BBGGRR), an optional picture, text printed
// with Cls/Print in its own font, and geometry kept in twips so that small steps add up
// exactly (the title strip moves 100 twips a tick).
class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent);

    uint32_t foreColor() const { return fore_; }
    void setForeColor(uint32_t bgr);
    uint32_t backColor() const { return back_; }
    void setBackColor(uint32_t bgr);
    void setPicture(const QPixmap& p);

    void Cls();
    void Print(const QString& text);
    QString printedText() const { return printed_; }
    // Width of `text` in this box's font, in twips.
    int TextWidth(const QString& text) const;

    QString fontName() const { return font().family(); }
    void setFontName(const QString& name);
    int fontSize() const { return font().pointSize(); }
    void setFontSize(int points);
    void setFontBold(bool on);
    void setFontItalic(bool on);
    void setFontStrikethru(bool on);
    void setFontUnderline(bool on);

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void setLeft(int twips);
    void setWidth(int twips);
    void setHeight(int twips);
    void setTwipsGeometry(int left, int top, int width, int height);

signals:
    void clicked();
    void mouseMoved(int button, int shift, int x, int y);

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    void applyGeometry();
    void changeFont(const std::function<void(QFont&)>& change);

    uint32_t fore_ = 0;
    uint32_t back_ = 0x8000000F;
    QPixmap picture_;
    QString printed_;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
};
