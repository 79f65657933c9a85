#include "XvfbSession.h"

#include "tests/support/Eventually.h"
#include "tests/support/TempDir.h"
#include "tools/demodisc/DiscImageWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStandardPaths>

#include <gtest/gtest.h>

using namespace kbtest;

namespace {

// The real player with a titled disc image in virtual drive D: and a notification area
// (trayer) on the private display, so the tray menu can be used as a user would.
class TitlesAndAboutE2E : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString bin = binaryDir() + "/bin/";
        for (const char* p : {"kobaltune", "kobaltune-drive", "kobaltune-titles"}) {
            if (!QFileInfo::exists(bin + p))
                GTEST_SKIP() << p << " is not built";
        }
        for (const char* tool : {"Xvfb", "xdotool", "trayer"}) {
            if (QStandardPaths::findExecutable(tool).isEmpty())
                GTEST_SKIP() << tool << " is not installed";
        }
        xvfb_ = std::make_unique<XvfbSession>();
        if (!xvfb_->running())
            GTEST_SKIP() << "no Xvfb display could be started";

        program_ = dir_.file("kobaltune");
        ASSERT_TRUE(preparePlayerFolder(dir_, bin + "kobaltune", *xvfb_, env_));
        for (auto& [name, value] : env_.set) {
            if (name == "KOBALTUNE_AUDIO")
                value = "null";
        }
        env_.unset.push_back("DBUS_SESSION_BUS_ADDRESS");

        kb::demodisc::DiscLayout disc;
        disc.title = "Harbour Lights";
        disc.performer = "Kobalt Quartet";
        for (int t = 0; t < 3; ++t) {
            kb::demodisc::ImageTrack track;
            track.pcm = kb::demodisc::testSignal(75 * 30, t + 1);
            track.title = "Piece " + std::to_string(t + 1);
            disc.tracks.push_back(track);
        }
        ASSERT_TRUE(kb::demodisc::writeCueBin(dir_.file("disc.cue"), disc));
        ASSERT_EQ(runTool(bin + "kobaltune-drive", {"insert", "D:", dir_.file("disc.cue")}, env_), 0);

        QFile ini(dir_.file("Kobaltune.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[Option]\r\nMedia=CD\r\nRepeat=ALL\r\nTimeType=SINGLE TIME\r\nAutoRun=0\r\n"
                  "CurCdDrive=D:\r\n[View]\r\nTop=1500\r\nLeft=1500\r\n");
        ini.close();
        // The disc is named with the title tool, on the settings file beside the program.
        ASSERT_EQ(runTool(bin + "kobaltune-titles", {"--settings", dir_.file("Kobaltune.ini"), "import", "D:"}, env_), 0);

        ASSERT_TRUE(tray_.start(QStandardPaths::findExecutable("trayer"),
                                {"--edge", "bottom", "--align", "left", "--widthtype", "pixel", "--width", "60",
                                 "--heighttype", "pixel", "--height", "24"},
                                env_));
        ASSERT_TRUE(eventually([&] { return !windowsOf({"--class", "trayer"}).isEmpty(); }, 10000));
    }

    QJsonObject panel() const { return readJson(dir_.file("panel.json")); }
    std::string panelText() const { return QJsonDocument(panel()).toJson(QJsonDocument::Compact).toStdString(); }
    bool waitPanel(const std::function<bool(const QJsonObject&)>& holds, int timeoutMs = 8000)
    {
        return eventually([&] { return holds(panel()); }, timeoutMs);
    }
    int xdo(const QStringList& args) { return runTool("xdotool", args, env_); }

    QStringList windowsOf(const QStringList& search)
    {
        QString found;
        runTool("xdotool", QStringList{"search", "--onlyvisible"} + search, env_, &found);
        return found.split('\n', Qt::SkipEmptyParts);
    }

    QString window(const QString& title)
    {
        QStringList ids;
        eventually([&] { return !(ids = windowsOf({"--name", title})).isEmpty(); }, 5000);
        return ids.isEmpty() ? QString() : ids.last();
    }

    // Opens the tray menu (the icon sits at the left of trayer's bar along the bottom of the
    // 1024x768 screen) and presses `key` once the menu is up.
    void trayMenuKey(const QString& key)
    {
        xdo({"mousemove", "12", "756", "click", "3"});
        ASSERT_TRUE(waitPanel([](const QJsonObject& p) { return p["trayMenu"].toBool(); }))
            << "the tray menu did not open; panel: " << panelText();
        const QString menu = window(QStringLiteral("ﾎﾟｯﾌﾟｱｯﾌﾟ"));
        if (!menu.isEmpty())
            xdo({"windowfocus", "--sync", menu});
        xdo({"key", key});
    }

    QString iniText() const
    {
        QFile f(dir_.file("Kobaltune.ini"));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    TempDir dir_;
    std::unique_ptr<XvfbSession> xvfb_;
    ChildEnv env_;
    QString program_;
    Child player_, tray_; // killed by their destructors
};

TEST_F(TitlesAndAboutE2E, RenameATrackInTheEditorThenAboutFromTheTrayWhileMinimised)
{
    ASSERT_TRUE(player_.start(program_, {}, env_));
    ASSERT_TRUE(waitPanel([](const QJsonObject& p) { return p["ready"].toBool() && p["trackCount"].toString() == "3"; }, 15000))
        << panelText();
    ASSERT_TRUE(waitPanel([](const QJsonObject& p) { return p["allSongs"].toArray().first().toString() == "Tr01. Piece 1"; }))
        << "the imported titles are not shown; panel: " << panelText();

    // A click on the title strip opens the editor.
    const QString main = window("^Kobaltune$");
    ASSERT_FALSE(main.isEmpty());
    xdo({"mousemove", "--window", main, "60", "26", "click", "1"});
    ASSERT_TRUE(waitPanel([](const QJsonObject& p) { return p["modal"].toString() == "frmEdit"; }))
        << "the editor did not open; panel: " << panelText();
    const QJsonArray entries = panel()["modalList"].toArray();
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries[1].toObject()["text"].toString(), "02 Piece 2");
    const QString second = QString::number(entries[1].toObject()["x"].toInt());
    const QString secondY = QString::number(entries[1].toObject()["y"].toInt());

    // Double-click entry 02, retype its title, click entry 02, OK.
    const QString editor = window(QStringLiteral("ｱﾙﾊﾞﾑ編集"));
    ASSERT_FALSE(editor.isEmpty());
    ASSERT_EQ(xdo({"windowfocus", "--sync", editor}), 0);
    xdo({"mousemove", "--window", editor, second, secondY, "click", "--repeat", "2", "--delay", "60", "1"});
    xdo({"key", "alt+n"});
    xdo({"type", "--delay", "20", "Lantern Song"});
    xdo({"mousemove", "--window", editor, second, secondY, "click", "1"});
    ASSERT_TRUE(waitPanel([](const QJsonObject& p) {
        return p["modalList"].toArray().at(1).toObject()["text"].toString() == "02 Lantern Song";
    })) << "the entry was not renamed; panel: " << panelText();
    xdo({"key", "alt+o"});
    ASSERT_TRUE(waitPanel([](const QJsonObject& p) { return p["modal"].toString().isEmpty(); }));

    EXPECT_TRUE(iniText().contains("TitleOfTrack2=Lantern Song")) << iniText().toStdString();
    EXPECT_TRUE(waitPanel([](const QJsonObject& p) {
        return p["allSongs"].toArray().at(1).toString() == "Tr02. Lantern Song";
    })) << panelText();

    // Playing track 2, the strip comes round to the new title.
    ASSERT_EQ(xdo({"windowfocus", "--sync", main}), 0);
    xdo({"key", "Return"});
    xdo({"key", "Right"});
    EXPECT_TRUE(waitPanel([](const QJsonObject& p) { return p["strip"].toString() == "Lantern Song"; }, 20000))
        << "the title strip never showed the new title; panel: " << panelText();

    // Minimised into the tray, the version item of the tray menu shows the window with the
    // about box over it, and minimises it again once the box is closed.
    xdo({"key", "Home"});
    ASSERT_TRUE(waitPanel([](const QJsonObject& p) { return p["minimized"].toBool() && !p["visible"].toBool(); }))
        << panelText();
    trayMenuKey("v");
    ASSERT_TRUE(waitPanel([](const QJsonObject& p) {
        return p["modal"].toString() == "frmAbout" && !p["minimized"].toBool() && p["visible"].toBool();
    })) << "the about box did not open over the restored window; panel: " << panelText();
    EXPECT_EQ(panel()["modalTitle"].toString(), QStringLiteral("Kobaltuneのﾊﾞｰｼﾞｮﾝ情報"));
    const QString about = window(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    ASSERT_FALSE(about.isEmpty());
    ASSERT_EQ(xdo({"windowfocus", "--sync", about}), 0);
    xdo({"key", "Return"});
    EXPECT_TRUE(waitPanel([](const QJsonObject& p) { return p["modal"].toString().isEmpty() && p["minimized"].toBool(); }))
        << "the window was not minimised again; panel: " << panelText();

    // Power-off from the tray menu.
    trayMenuKey("x");
    ASSERT_TRUE(waitUntil([&] { return !player_.running(); }, 10000)) << "the end item did not end the program";
    EXPECT_FALSE(player_.killedBySignal()) << "the program ended by signal " << player_.killSignal();
    EXPECT_EQ(player_.wait(0), 0);
}

} // namespace
