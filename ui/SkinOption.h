#pragma once

#include <QRadioButton>

// An option button on the panel: white legend beside a small LED-style indicator.
class SkinOption : public QRadioButton {
    Q_OBJECT
public:
    SkinOption(const QString& caption, QWidget* parent);

protected:
    void paintEvent(QPaintEvent*) override;
};
