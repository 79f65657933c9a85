#include "platform/shell/HelpViewer.h"

#include "platform/shell/HelpWindow.h"

#include <QFileInfo>
#include <QWidget>

namespace kb::shell {

namespace {

HelpWindow* openWindowOf(QWidget* owner, const QString& file)
{
    if (!owner)
        return nullptr;
    for (HelpWindow* w : owner->findChildren<HelpWindow*>(Qt::FindDirectChildrenOnly)) {
        if (w->helpFile() == file)
            return w;
    }
    return nullptr;
}

} // namespace

bool showHelp(QWidget* owner, const QString& helpFile, int command, quint64)
{
    if (command == 0 || helpFile.isEmpty())
        return true;
    const QString file = QFileInfo(helpFile).absoluteFilePath();
    HelpWindow* window = openWindowOf(owner, file);
    if (command == HelpQuit) {
        if (window)
            window->close();
        return true;
    }
    if (command != HelpContents && command != HelpFinder && command != HelpContext)
        return false;
    if (!window) {
        HelpLoadResult loaded = loadHelpProject(file);
        if (!loaded.ok)
            return false;
        window = new HelpWindow(file, std::move(loaded.project), owner);
    }
    window->showFinder();
    return true;
}

} // namespace kb::shell
