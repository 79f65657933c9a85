#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

class frmMedia;
class Transport;
class QKeyEvent;

// The keyboard shortcuts: txtDummy turns a few keys into panel actions. A filter on the
// application hands it the keys of every other control of the main window too (the file
// list keeps its own navigation; other controls do not see the keys), so the shortcuts
// work wherever the focus is inside the window.
class KeyTable : public QObject {
public:
    enum KeyCode { Enter = 13, Esc = 27, Space = 32, Home = 36, Left = 37, Right = 39, Delete = 46 };
    static constexpr int kCtrl = 2;

    KeyTable(frmMedia& form, Transport& transport);
    ~KeyTable() override;

    void connectTo(frmMedia& form);

    void txtDummy_KeyDown(int keyCode, int shift);
    // Enter becomes 0 so that the box neither beeps nor inserts anything.
    static void txtDummy_KeyPress(int& keyAscii);
    void lvwFileList_KeyDown(int keyCode, int shift);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    frmMedia& form_;
    Transport& transport_;
    const QEvent* lastKey_ = nullptr;
    QPointer<QWidget> lastReceiver_;
};
