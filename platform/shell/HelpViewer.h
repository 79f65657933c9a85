#pragma once

#include <QString>
#include <QtGlobal>

class QWidget;

namespace kb::shell {

// Help commands: a topic by number (shown as the home page), closing the window, the
// contents, and the help finder (contents and index).
enum HelpCommand { HelpContext = 1, HelpQuit = 2, HelpContents = 3, HelpFinder = 11 };

// Hands a help request (a help file, a command and its data) to the help service, owned by
// `owner`. True when the help was shown or there was nothing to do; false for a missing or
// unreadable help file (nothing is shown) and for commands this viewer does not know.
bool showHelp(QWidget* owner, const QString& helpFile, int command, quint64 data);

} // namespace kb::shell
