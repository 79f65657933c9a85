#pragma once

#include "platform/mci/MciService.h"

#include <QObject>

#include <cstdint>
#include <vector>

namespace kbtest {

// A callback object for "notify" commands; keeps the flags of each notification it gets,
// in order.
class NotifyFlags : public QObject {
public:
    bool event(QEvent* e) override
    {
        if (e->type() != kb::mci::MciNotifyEvent::type())
            return QObject::event(e);
        flags.push_back(static_cast<kb::mci::MciNotifyEvent*>(e)->flags());
        return true;
    }

    std::vector<uint32_t> flags;
};

} // namespace kbtest
