#pragma once

#include <QLineEdit>

// The keyboard sink: an edit box placed outside the visible window that holds the focus.
// Each key press is reported once as a Windows-style key code (13 Enter, 27 Esc, 32 Space,
// 36 Home, 37 Left, 39 Right, 46 Delete, letters and digits as their upper-case code) with
// the shift state (1 Shift, 2 Ctrl, 4 Alt).
class KeySink : public QLineEdit {
    Q_OBJECT
public:
    explicit KeySink(QWidget* parent);

    static int keyCode(const QKeyEvent& e);

signals:
    void keyDown(int keyCode, int shift);

protected:
    void keyPressEvent(QKeyEvent* e) override;
};
