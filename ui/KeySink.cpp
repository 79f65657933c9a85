#include "ui/KeySink.h"

#include "ui/LedLabel.h"

#include <QKeyEvent>

KeySink::KeySink(QWidget* parent) : QLineEdit(parent) {}

int KeySink::keyCode(const QKeyEvent& e)
{
    switch (e.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Delete: return 46;
    default: break;
    }
    const int k = e.key();
    if ((k >= Qt::Key_0 && k <= Qt::Key_9) || (k >= Qt::Key_A && k <= Qt::Key_Z))
        return k;
    return 0;
}

void KeySink::keyPressEvent(QKeyEvent* e)
{
    const int code = keyCode(*e);
    // Enter would otherwise be passed on as an accepted-return; the sink swallows it.
    if (code != 13)
        QLineEdit::keyPressEvent(e);
    emit keyDown(code, shiftStateCode(e->modifiers()));
}
