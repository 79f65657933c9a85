#include "ui/KeyTable.h"

#include "playback/Transport.h"
#include "ui/KeySink.h"
#include "ui/LedLabel.h"
#include "ui/SkinButton.h"
#include "ui/Volume.h"
#include "ui/frmMedia.h"

#include <QApplication>
#include <QKeyEvent>

KeyTable::KeyTable(frmMedia& form, Transport& transport) : form_(form), transport_(transport) {}

KeyTable::~KeyTable()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

void KeyTable::connectTo(frmMedia& form)
{
    QObject::connect(form.txtDummy, &KeySink::keyDown, &form,
                     [this](int code, int shift) { txtDummy_KeyDown(code, shift); });
    qApp->installEventFilter(this);
}

void KeyTable::txtDummy_KeyDown(int keyCode, int shift)
{
    const bool ctrlAlone = shift == kCtrl;
    switch (keyCode) {
    case Enter:
        ctrlAlone ? transport_.cmdStop_Click() : transport_.cmdPlay_Click();
        break;
    case Esc:
        // The window is being destroyed: nothing more is done, not even emptying the box.
        if (form_.powerOff)
            form_.powerOff();
        return;
    case Space:
        form_.volume->lblMute_Click();
        break;
    case Home:
        emit form_.cmdIcon->clicked();
        break;
    case Left:
        ctrlAlone ? transport_.cmdTop_Click() : transport_.cmdPrev_Click();
        break;
    case Right:
        ctrlAlone ? transport_.cmdBottom_Click() : transport_.cmdNext_Click();
        break;
    case Delete:
        transport_.cmdEject_Click();
        break;
    default:
        break;
    }
    form_.txtDummy->setText(QString());
}

void KeyTable::txtDummy_KeyPress(int& keyAscii)
{
    if (keyAscii == 13)
        keyAscii = 0;
}

void KeyTable::lvwFileList_KeyDown(int keyCode, int shift) { txtDummy_KeyDown(keyCode, shift); }

bool KeyTable::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    // txtDummy reports its own keys.
    if (widget == form_.txtDummy || widget->window() != &form_)
        return false;
    // A key a child ignores travels on to its parents as the same event: take it once.
    const auto& key = static_cast<const QKeyEvent&>(*event);
    const bool propagated = lastReceiver_ && widget != lastReceiver_ && widget->isAncestorOf(lastReceiver_);
    if (event == lastKey_ && propagated)
        return false;
    lastKey_ = event;
    lastReceiver_ = widget;
    const int code = KeySink::keyCode(key);
    const int shift = shiftStateCode(key.modifiers());
    if (widget == form_.lvwFileList || form_.lvwFileList->isAncestorOf(widget)) {
        lvwFileList_KeyDown(code, shift);
        return false;
    }
    txtDummy_KeyDown(code, shift);
    return true;
}
