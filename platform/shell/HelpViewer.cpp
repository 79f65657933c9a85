#include "platform/shell/HelpViewer.h"

namespace kb::shell {

bool showHelp(QWidget*, const QString&, int, quint64)
{
    // No help window exists yet: the request succeeds without showing anything.
    return true;
}

} // namespace kb::shell
