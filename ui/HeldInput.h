#pragma once

#include <QObject>
#include <QPointer>

#include <memory>
#include <vector>

class QEvent;

// Holds the user's keys and clicks while a routine that pumps messages in the middle of its
// work must not be interleaved with commands, and delivers them afterwards, in their order,
// to the objects they were meant for. Nothing is lost: an event whose receiver is gone by
// then is dropped with it.
class HeldInput : public QObject {
public:
    HeldInput();
    ~HeldInput() override;

    HeldInput(const HeldInput&) = delete;
    HeldInput& operator=(const HeldInput&) = delete;

    static bool isUserInput(const QEvent& e);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Held {
        QPointer<QObject> receiver;
        std::unique_ptr<QEvent> event;
    };
    std::vector<Held> held_;
};
