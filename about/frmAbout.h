#pragma once

#include "platform/shell/SystemInfo.h"

#include <QDialog>

#include <array>
#include <functional>

class LedLabel;
class QFrame;
class QLabel;
class QPushButton;

// The version window: product name and version, a notice, two links that open in the
// desktop's default programs, and a button that starts the system-information program.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    // The link colours: blue at rest, red under the mouse (0x00BBGGRR).
    static constexpr uint32_t kLinkColor = 0xFF0000;
    static constexpr uint32_t kHoverColor = 0x0000FF;
    static const QString kUnavailableMessage;

    explicit frmAbout(QWidget* owner = nullptr);

    void Form_Load();
    void Form_MouseMove(int button, int shift, int x, int y);
    void Label4_MouseMove(int index, int button, int shift, int x, int y);
    void Label4_DblClick(int index);
    void cmdOK_Click();
    void cmdSysInfo_Click();
    void StartSysInfo();

    // What a link label's caption opens: a mail address becomes a mailto: link.
    static QUrl linkUrl(const QString& caption);

    // Where StartSysInfo looks; tests point it at folders of their own.
    kb::shell::SystemInfoSearch sysInfoSearch;
    // Shows the unavailable message; tests record it.
    std::function<void(const QString&)> message;

    QLabel* picIcon = nullptr;
    std::array<LedLabel*, 2> Label2{};
    LedLabel* Label3 = nullptr;
    std::array<LedLabel*, 3> Label4{}; // elements 1 and 2
    std::array<QFrame*, 2> Line1{};
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;

protected:
    void mouseMoveEvent(QMouseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void createControls();
};
