// Saves the options over and over, alternating between two complete sets, until it is
// killed: the subject of the test that kills a save at random moments.
#include "app/Settings.h"

#include <cstdio>

namespace {

PlayerState optionSet(const char* tag)
{
    PlayerState s;
    const QString t = QString::fromLatin1(tag);
    s.OptTemae = t + "1";
    s.OptTimeType = t + " TIME";
    s.OptRepeat = t + "ALL";
    s.OptFolderName = "/music/" + t + "/" + QString(300, QLatin1Char('f'));
    s.OptTop = t + "100";
    s.OptLeft = t + "200";
    s.OptMedia = t + "CD";
    s.OptAutoRun = t + "0";
    s.CurCdDrive = t + ":";
    return s;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: settings-save-loop FILE\n");
        return 2;
    }
    const Settings settings(QString::fromLocal8Bit(argv[1]), "/x/");
    const PlayerState sets[] = {optionSet("new"), optionSet("old")};
    for (unsigned i = 0;; ++i)
        settings.SaveOptions(sets[i % 2]);
}
