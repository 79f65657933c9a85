#pragma once

#include <QWidget>

// The start-up picture shown while the settings are read and the main window is built.
class Openning : public QWidget {
    Q_OBJECT
public:
    // Client size in twips.
    static constexpr int kWidthTwips = 4485;
    static constexpr int kHeightTwips = 1380;

    explicit Openning(QWidget* parent = nullptr);

    void Form_Load();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
};
