#pragma once

// Waiting for something another thread or the event loop brings about, in GoogleTest tests.
//
// QTRY_COMPARE cannot be used here: outside a Qt Test run a timed-out QTRY only prints and
// returns from the test body, which GoogleTest then counts as passed.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

namespace kbtest {

// Processes events until `done()` holds; false if it still does not after `limitMs` (a
// safety net for a hang, not a timing requirement).
template <class Predicate>
bool eventually(Predicate done, int limitMs = 30000)
{
    const QDeadlineTimer deadline(limitMs);
    while (!done()) {
        if (deadline.hasExpired())
            return done();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

} // namespace kbtest
