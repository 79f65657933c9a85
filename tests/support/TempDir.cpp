#include "tests/support/TempDir.h"

namespace kbtest {

TempDir::TempDir() : dir_(QDir::tempPath() + "/kobaltune-test-XXXXXX") {}

QString binaryDir() { return QStringLiteral(KOBALTUNE_BINARY_DIR); }
QString sourceDir() { return QStringLiteral(KOBALTUNE_SOURCE_DIR); }

} // namespace kbtest
