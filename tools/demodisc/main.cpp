// kobaltune-demodisc OUTPUT[.cue]: writes the demo album as OUTPUT.cue and OUTPUT.bin.
#include "tools/demodisc/DemoAlbum.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kUsage =
    "usage: kobaltune-demodisc OUTPUT[.cue]\n"
    "Writes the demo album as a CUE sheet and its BIN beside it; \".cue\" is added to\n"
    "OUTPUT when missing, since drives recognise images by their extension.\n";

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "-h") == 0 || std::strcmp(argv[1], "--help") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    // Anything else starting with "-" is an option we do not have, not a file name.
    if (argc != 2 || argv[1][0] == '\0' || argv[1][0] == '-') {
        std::fputs(kUsage, stderr);
        return 2;
    }
    QString cue = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    if (QFileInfo(cue).suffix().compare("cue", Qt::CaseInsensitive) != 0)
        cue += ".cue";
    QDir().mkpath(QFileInfo(cue).absolutePath());
    if (!kb::demodisc::writeCueBin(cue, kb::demodisc::demoAlbum())) {
        std::fprintf(stderr, "kobaltune-demodisc: cannot write %s\n", cue.toLocal8Bit().constData());
        return 1;
    }
    std::printf("%s\n", cue.toLocal8Bit().constData());
    return 0;
}
