#include "ui/HeldInput.h"

#include <QCoreApplication>
#include <QEvent>

HeldInput::HeldInput()
{
    // Filters installed last run first, so the held events never reach the key table.
    QCoreApplication::instance()->installEventFilter(this);
}

HeldInput::~HeldInput()
{
    QCoreApplication::instance()->removeEventFilter(this);
    for (Held& h : held_) {
        if (h.receiver)
            QCoreApplication::postEvent(h.receiver, h.event.release());
    }
}

bool HeldInput::isUserInput(const QEvent& e)
{
    switch (e.type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
        return true;
    default:
        return false;
    }
}

bool HeldInput::eventFilter(QObject* watched, QEvent* event)
{
    if (!isUserInput(*event))
        return false;
    held_.push_back({watched, std::unique_ptr<QEvent>(event->clone())});
    return true;
}
