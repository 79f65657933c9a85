// The floor for start-up: a plain Qt 6 widget window, shown as soon as the application exists.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("perf-bare"));
    window.resize(320, 200);
    window.show();
    return QApplication::exec();
}
