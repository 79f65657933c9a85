#pragma once

// Driving the real modal dialogs of the program from a test: a timer watches for the dialog
// to show, then fills and closes it, while the code under test sits in the dialog's exec().

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>

namespace kbtest {

// Runs `act` on the first visible modal dialog of type Dialog, once, and returns the watching
// timer. Counts the dialogs it met in `shown` when given. The watcher gives up after
// `limitMs` so a test never hangs on a dialog that does not come.
template <class Dialog>
QTimer* whenShown(std::function<void(Dialog&)> act, int* shown = nullptr, int limitMs = 20000)
{
    auto* timer = new QTimer(qApp);
    timer->setInterval(5);
    auto left = std::make_shared<int>(limitMs / 5);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, act, shown, left] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) {
            if (--*left <= 0)
                timer->deleteLater();
            return;
        }
        timer->stop();
        timer->deleteLater();
        if (shown)
            ++*shown;
        act(*dialog);
    });
    timer->start();
    return timer;
}

// While it lives, rejects the first modal dialog that shows and counts it.
class RejectDialogs {
public:
    RejectDialogs() : timer_(whenShown<QDialog>([](QDialog& d) { d.reject(); }, &shown)) {}
    ~RejectDialogs() { delete timer_.data(); }
    int shown = 0;

private:
    QPointer<QTimer> timer_;
};

// The file dialog's name field.
inline QLineEdit* fileNameEdit(QFileDialog& dialog) { return dialog.findChild<QLineEdit*>("fileNameEdit"); }

// Names the file dialog lists in its current folder, once its model has read the folder.
inline QStringList listedNames(QFileDialog& dialog)
{
    auto* model = dialog.findChild<QFileSystemModel*>();
    if (!model)
        return {};
    const QModelIndex root = model->index(dialog.directory().absolutePath());
    QStringList names;
    for (int r = 0; r < model->rowCount(root); ++r)
        names << model->fileName(model->index(r, 0, root));
    names.sort();
    return names;
}

} // namespace kbtest
