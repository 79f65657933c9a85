#include "app/Toolkit.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <cmath>
#include <cstdio>

namespace kb::app {

namespace {

constexpr double kTwipsPerInch = 1440.0;

double dpi(bool horizontal)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double d = screen ? (horizontal ? screen->logicalDotsPerInchX()
                                          : screen->logicalDotsPerInchY())
                            : 96.0;
    return d > 0 ? d : 96.0;
}

QMessageBox::StandardButton firstButton(QMessageBox::StandardButtons buttons)
{
    for (unsigned b = QMessageBox::FirstButton; b <= QMessageBox::LastButton; b <<= 1) {
        if (buttons.testFlag(static_cast<QMessageBox::StandardButton>(b)))
            return static_cast<QMessageBox::StandardButton>(b);
    }
    return QMessageBox::Ok;
}

} // namespace

QString AppTitle() { return QStringLiteral("Kobaltune"); }

QString AppPath() { return QCoreApplication::applicationDirPath(); }

void DoEvents() { QCoreApplication::processEvents(); }

QMessageBox::StandardButton MsgBox(const QString& text, QMessageBox::Icon icon,
                                   QMessageBox::StandardButtons buttons, const QString& caption)
{
    const QString title = caption.isEmpty() ? AppTitle() : caption;
    if (qEnvironmentVariableIsSet("KOBALTUNE_ECHO_MESSAGES")) {
        std::fprintf(stderr, "%s: %s\n", title.toLocal8Bit().constData(),
                     text.toLocal8Bit().constData());
        std::fflush(stderr);
        return firstButton(buttons);
    }
    QMessageBox box(icon, title, text, buttons);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

double TwipsPerPixelX() { return kTwipsPerInch / dpi(true); }
double TwipsPerPixelY() { return kTwipsPerInch / dpi(false); }

int twipsToPixelsX(int twips) { return static_cast<int>(std::lround(twips / TwipsPerPixelX())); }
int twipsToPixelsY(int twips) { return static_cast<int>(std::lround(twips / TwipsPerPixelY())); }
int pixelsToTwipsX(int pixels) { return static_cast<int>(std::lround(pixels * TwipsPerPixelX())); }
int pixelsToTwipsY(int pixels) { return static_cast<int>(std::lround(pixels * TwipsPerPixelY())); }

QColor colorFromBgr(uint32_t bgr)
{
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

void setTopmost(QWidget* window, bool topmost)
{
    if (!window || window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == topmost)
        return;
    Qt::WindowFlags flags = window->windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, topmost);
    // A window on screen changes its stacking in place; QWidget::setWindowFlags would hide it
    // and map it again.
    if (QWindow* handle = window->windowHandle(); handle && window->isVisible()) {
        window->overrideWindowFlags(flags);
        handle->setFlags(flags);
        return;
    }
    const QPoint at = window->pos();
    window->setWindowFlags(flags);
    window->move(at);
}

} // namespace kb::app
