#pragma once

#include <QStringList>

namespace kb::desktop {

// A second start with files gives them to the running player over the session bus (its
// media controls' OpenUri) and ends. The player plays one file at a time: the first of
// `files` that it plays is handed over. Waits up to `waitMs` for a player that is still
// starting to appear on the bus. False when there is no bus or no player answered.
bool handOverFiles(const QStringList& files, int waitMs = 5000);

} // namespace kb::desktop
