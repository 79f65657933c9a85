#pragma once

#include <QWidget>

#include <cstdint>

// A label drawn in its own font with a fore and back colour (0x00BBGGRR). Clickable
// labels report clicks and mouse presses with the button code (1 left, 2 right, 4 middle),
// the shift state (1 Shift, 2 Ctrl, 4 Alt) and the position in twips. A double click comes
// as MouseDown, MouseUp, Click for the first press, then DblClick and MouseUp for the
// second: the second press is neither a MouseDown nor a Click.
class LedLabel : public QWidget {
    Q_OBJECT
public:
    explicit LedLabel(QWidget* parent, const QString& caption = {});

    QString caption() const { return caption_; }
    void setCaption(const QString& text);
    uint32_t foreColor() const { return fore_; }
    void setForeColor(uint32_t bgr);
    uint32_t backColor() const { return back_; }
    void setBackColor(uint32_t bgr);
    // A transparent label lets the skin show through behind its text.
    void setTransparent(bool on);
    void setAlignment(Qt::Alignment a);
    // A caption wider than the label continues on the next line.
    void setWordWrap(bool on);
    // Clickable labels show the skin's pointer.
    void setClickable(bool on);

signals:
    void clicked();
    void doubleClicked();
    void mouseDown(int button, int shift, int x, int y);
    void mouseUp(int button, int shift, int x, int y);
    void captionChanged(const QString& caption);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    virtual void paintText(class QPainter& p);

    QString caption_;
    uint32_t fore_ = 0x00FFFF;
    uint32_t back_ = 0;
    bool transparent_ = false;
    bool wordWrap_ = false;
    Qt::Alignment align_ = Qt::AlignLeft | Qt::AlignVCenter;

private:
    bool releaseEndsDoubleClick_ = false;
};

int mouseButtonCode(Qt::MouseButton b);
int shiftStateCode(Qt::KeyboardModifiers m);
