#pragma once

#include <QAbstractButton>
#include <QPixmap>

// A picture button: normal, pressed and disabled looks from the skin. It never takes the
// keyboard focus (the keyboard sink keeps it).
class SkinButton : public QAbstractButton {
    Q_OBJECT
public:
    // `art` names the pictures btn_<art>_normal/pressed/disabled.png.
    SkinButton(const QString& art, QWidget* parent);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QPixmap look(const char* name) const;

    QString base_;
};
