#pragma once

#include <QString>
#include <QtGlobal>

class QWidget;

namespace kb::shell {

// Hands a help request (a help file, a command and its data) to the help service, owned by
// `owner`. True when the help was shown or there was nothing to do.
bool showHelp(QWidget* owner, const QString& helpFile, int command, quint64 data);

} // namespace kb::shell
