#pragma once

#include "platform/cdrom/DriveTable.h"

#include <QObject>

#include <string>
#include <utility>
#include <vector>

namespace kbtest {

// A receiver registered with a drive table; keeps the (code, drive) of each event it gets,
// in order.
class DriveEvents : public QObject {
public:
    bool event(QEvent* e) override
    {
        if (e->type() != kb::cdrom::DeviceChangeEvent::type())
            return QObject::event(e);
        const auto* d = static_cast<kb::cdrom::DeviceChangeEvent*>(e);
        seen.emplace_back(d->code(), d->drive());
        return true;
    }

    std::vector<std::pair<unsigned, std::string>> seen;
};

} // namespace kbtest
