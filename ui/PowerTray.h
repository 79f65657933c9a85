#pragma once

#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

struct AppContext;
struct PlayerState;
class frmMedia;
class MessageHook;

class TerminationSignals;

// The power button (the one way the player ends, also reached by Esc, the end item, a
// window-system close and SIGTERM/SIGINT), minimising, and the task-tray icon.
class PowerTray : public QObject {
public:
    // Tray mouse messages as picTray_MouseMove receives them in x.
    enum TrayMessage { MouseMove = 512, LeftDown = 513, LeftUp = 514, LeftDoubleClick = 515, RightDown = 516 };
    // The tip field holds 63 bytes of text in the Japanese ANSI code page.
    static constexpr int kTipBytes = 63;

    PowerTray(AppContext& ctx, frmMedia& form, MessageHook& hook);
    ~PowerTray() override;

    // Sets frmMedia's addTrayIcon and powerOff, connects cmdPower, cmdIcon and
    // mnuOptionTaskTray, refreshes the tip on every poll tick and catches the window-system
    // close and the termination signals.
    void connectTo(frmMedia& form);

    void cmdPower_Click();
    void cmdIcon_Click();
    void picTray_MouseMove(int button, int shift, int x, int y);
    void mnuOptionTaskTray_Click();

    // Adds the tray icon where the desktop has a notification area. Without one the tray
    // behaviour is turned off (OptTaskTray "0"), so that minimising leaves the window on the
    // task bar instead of hiding it with no way back.
    void addTrayIcon();
    void updateTip();
    // The tip as last rebuilt (kept up to date with or without a notification area).
    QString tip() const { return tip_; }
    bool hasTrayIcon() const { return trayIcon_ != nullptr; }
    bool TrayMenuOpen() const { return trayMenuOpen_; }
    bool poweredOff() const { return poweredOff_; }

    // The tip for the current read-out, before it is cut to the field.
    static QString trayTipText(const PlayerState& s, const QString& trackNoCaption,
                               const QString& timeCaption);
    // The longest start of text that fits kTipBytes bytes in the ANSI code page.
    static QString cutToTipField(const QString& text);

    // Ends the application after the window closed; tests replace it.
    std::function<void()> quitApplication;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString currentTip() const;
    void writeBackMutedVolume();

    AppContext& ctx_;
    frmMedia& form_;
    MessageHook& hook_;
    QPointer<QSystemTrayIcon> trayIcon_; // owned by the window
    std::unique_ptr<TerminationSignals> signals_;
    QString tip_;
    bool trayMenuOpen_ = false;
    bool poweredOff_ = false;
};
