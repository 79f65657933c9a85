#pragma once

#include <QObject>
#include <QPoint>

#include <vector>

struct AppContext;
class frmMedia;
class QMouseEvent;

// The hook on the main window's messages: MCI completion notifications, disc arrival and
// removal, and left-button drags over the panel's own surface. It watches frmMedia's events
// (as an application event filter, so that it also sees a press on a label that starts a
// drag) and never consumes an event: every event goes on to the window afterwards.
class MessageHook : public QObject {
public:
    // What a surface drag does: asks the window system to move the window, or moves it by
    // the given offset where the window system cannot.
    MessageHook(AppContext& ctx, frmMedia& form);
    ~MessageHook() override;

    // Sets frmMedia::installMessageHook.
    void connectTo(frmMedia& form);

    // Installed between the end of Form_Load and power-off; each is done at most once.
    void install();
    void remove();
    bool installed() const { return installed_; }

    // The handlers of the three events.
    void onMciNotify();
    void onDeviceChange(unsigned code);
    void onSurfaceDrag(const QPoint& globalPos);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void handle(QEvent* event);
    QString mode() const;

    AppContext& ctx_;
    frmMedia& form_;
    bool installed_ = false;
    bool removed_ = false;
    // True while the hook is handling an event; events that arrive meanwhile only pass on,
    // but a disc arrival or removal is remembered and handled right after, in its order: a
    // disc swapped without an eject is a removal at once followed by an arrival.
    bool handling_ = false;
    std::vector<unsigned> deferredDeviceChanges_;
    QPoint pressOffset_;
};
