#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

// Shared entry point of every test program: a real QApplication on the offscreen platform,
// private runtime and configuration folders, and the null sound sink unless a test asks
// for another. Listing the tests needs none of that.
int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("KOBALTUNE_AUDIO"))
        qputenv("KOBALTUNE_AUDIO", "null");

    QTemporaryDir home(QDir::tempPath() + "/kobaltune-home-XXXXXX");
    QDir(home.path()).mkpath("runtime");
    QDir(home.path()).mkpath("config");
    QFile::setPermissions(home.path() + "/runtime",
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", (home.path() + "/runtime").toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());

    auto app = std::make_unique<QApplication>(argc, argv);
    return RUN_ALL_TESTS();
}
