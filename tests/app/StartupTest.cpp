#include "app/Openning.h"
#include "app/Startup.h"
#include "app/Toolkit.h"
#include "tests/support/ScriptedMciService.h"
#include "tests/support/TempDir.h"
#include "ui/frmMedia.h"

#include <QApplication>
#include <QFile>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

class FakeDriveTable : public kb::cdrom::DriveTable {
public:
    std::vector<kb::cdrom::DriveEntry> list;
    std::vector<kb::cdrom::DriveEntry> drives() const override { return list; }
    void addEventReceiver(QObject*) override {}
    void removeEventReceiver(QObject*) override {}

    void add(const std::string& name, unsigned type = kb::cdrom::kDriveTypeCdrom)
    {
        kb::cdrom::DriveEntry e;
        e.name = name;
        e.type = type;
        list.push_back(e);
    }
};

struct Message {
    QString text;
    QMessageBox::Icon icon;
};

class StartupTest : public testing::Test {
protected:
    StartupTest()
    {
        ctx = std::make_unique<AppContext>(AppContext{state, mci, settings, *platform});
    }

    ~StartupTest() override { window.reset(); }

    std::unique_ptr<frmMedia> runMain(bool previousInstance = false,
                                      std::function<std::unique_ptr<frmMedia>(AppContext&)> createWindow = {})
    {
        const kb::app::StartupServices services{
            drives,
            [this](const QString& t, QMessageBox::Icon i) {
                messages.push_back({t, i});
                visibleWhenTold.push_back(visibleTopLevels());
            },
            previousInstance, std::move(createWindow)};
        return kb::app::Main(*ctx, services);
    }

    void writeSettings(const QByteArray& bytes)
    {
        QFile f(settings.filePath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    static int visibleTopLevels()
    {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            n += w->isVisible() ? 1 : 0;
        return n;
    }

    static int splashes()
    {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            n += qobject_cast<Openning*>(w) ? 1 : 0;
        return n;
    }

    kbtest::TempDir dir;
    FakeDriveTable drives;
    PlayerState state;
    kbtest::ScriptedMciService service;
    ModMci mci{state, service};
    Settings settings{dir.file("Kobaltune.ini"), AddBackslash(dir.path())};
    std::unique_ptr<kb::platform::Platform> platform = kb::platform::makePlatform();
    std::unique_ptr<AppContext> ctx;
    std::vector<Message> messages;
    std::vector<int> visibleWhenTold;
    std::unique_ptr<frmMedia> window;
};

// A main window one of whose components could not be created.
class IncompleteWindow : public frmMedia {
public:
    explicit IncompleteWindow(AppContext& ctx) : frmMedia(ctx)
    {
        creationError_ = 339;
        creationErrorDescription_ = "component missing";
    }
};

// Counts how often windows of one kind are shown (mapped).
template <typename Window>
class ShowCounter : public QObject {
public:
    ShowCounter() { qApp->installEventFilter(this); }
    int shows = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() == QEvent::Show && qobject_cast<Window*>(watched))
            ++shows;
        return false;
    }
};

TEST_F(StartupTest, FindCdDrivesTakesCdRomDrivesUpperCased)
{
    drives.add("c:", 3);
    drives.add("d:");
    drives.add("z:", 4);
    drives.add("e:");
    kb::app::FindCdDrives(state, drives);
    EXPECT_EQ(state.CdDrives, (QStringList{"D:", "E:"}));

    drives.list.clear();
    kb::app::FindCdDrives(state, drives);
    EXPECT_EQ(state.CdDrives, QStringList{QString()});

    // Far more drives than a fixed-size name buffer would hold are all listed.
    QStringList expected;
    for (char c = 'D'; c <= 'Z'; ++c) {
        drives.add(std::string{static_cast<char>(c + 32), ':'});
        expected << QString("%1:").arg(QChar(c));
    }
    for (int i = 0; i < 10; ++i) {
        drives.add("Z:");
        expected << "Z:";
    }
    kb::app::FindCdDrives(state, drives);
    EXPECT_EQ(state.CdDrives, expected);
}

TEST_F(StartupTest, SecondInstanceEndsWithoutAnyEffect)
{
    drives.add("D:");
    state.MciAlias = "untouched";
    EXPECT_EQ(runMain(true), nullptr);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(state.MciAlias, "untouched");
    EXPECT_TRUE(service.log().empty());
    EXPECT_EQ(visibleTopLevels(), 0);
}

TEST_F(StartupTest, NoDriveShowsMessageAndReadsNothing)
{
    drives.add("C:", 3);
    writeSettings("[Option]\r\nTemae=1\r\n");
    EXPECT_EQ(runMain(), nullptr);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "有効なCDドライブが検出できませんでした");
    EXPECT_EQ(messages[0].icon, QMessageBox::Critical);
    EXPECT_EQ(state.OptTemae, "");
    EXPECT_EQ(state.OptTaskTray, "");
    EXPECT_EQ(visibleTopLevels(), 0);
    EXPECT_EQ(splashes(), 0);
}

TEST_F(StartupTest, NormalStartInitialisesStatePlacesWindowAndAppliesOptions)
{
    drives.add("d:");
    drives.add("e:");
    writeSettings("[Option]\r\nTemae=1\r\nAutoRun=1\r\nCurCdDrive=E:\r\n"
                  "[View]\r\nTop=abc\r\nLeft=1500\r\n");
    state.CurTrack = 9;
    state.TrackTitles = QStringList{"x", "y"};
    window = runMain();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(messages.empty());

    EXPECT_EQ(state.MciAlias, "2");
    EXPECT_EQ(state.CurTrack, 1);
    EXPECT_EQ(state.TrackTitles, QStringList{QString()});
    EXPECT_EQ(state.CdDrives, (QStringList{"D:", "E:"}));
    EXPECT_EQ(state.CurCdDriveIndex, 1);

    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->pos(), QPoint(kb::app::twipsToPixelsX(1500), 0));
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(window->mnuOptionTemae->isChecked());
    EXPECT_TRUE(window->mnuOptionAutoRun->isChecked());
    EXPECT_EQ(mci.callbackWindow(), window.get());
    EXPECT_EQ(splashes(), 0);
}

TEST_F(StartupTest, WindowThatCannotBeBuiltNeverLoadsOrShowsBeforeTheMessage)
{
    drives.add("D:");
    service.clearLog();
    window = runMain(false, [](AppContext& c) { return std::make_unique<IncompleteWindow>(c); });
    EXPECT_EQ(window, nullptr);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.startsWith(kb::app::kRuntimeMissingMessage + "\r\n\r\n詳細\r\n"));
    EXPECT_TRUE(messages[0].text.endsWith("component missing"));
    EXPECT_EQ(visibleWhenTold, std::vector<int>{0}) << "a window was on screen before the message";
    EXPECT_TRUE(service.commands().isEmpty()) << "the window loaded: " << service.commands().join(", ").toStdString();
    EXPECT_EQ(mci.callbackWindow(), nullptr);
    EXPECT_EQ(splashes(), 0);
}

TEST_F(StartupTest, SplashAndTopmostWindowAreMappedOnce)
{
    drives.add("D:");
    writeSettings("[Option]\r\nTemae=1\r\n");
    ShowCounter<Openning> splashShows;
    ShowCounter<frmMedia> windowShows;
    window = runMain();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(splashShows.shows, 1);
    EXPECT_EQ(windowShows.shows, 1);
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(window->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));

    kb::app::setTopmost(window.get(), false);
    EXPECT_EQ(windowShows.shows, 1);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST_F(StartupTest, OptionsOfZeroLeaveNormalOrderAndClearChecks)
{
    drives.add("D:");
    writeSettings("[Option]\r\nTemae=0\r\nAutoRun=0\r\n[View]\r\nTop=300\r\nLeft=150\r\n");
    window = runMain();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->pos(), QPoint(kb::app::twipsToPixelsX(150), kb::app::twipsToPixelsY(300)));
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(window->mnuOptionTemae->isChecked());
    EXPECT_FALSE(window->mnuOptionAutoRun->isChecked());
    EXPECT_EQ(state.CurCdDrive, "D:");
}

TEST(Openning, HasDesignSizeAndPaintsItsPicture)
{
    Openning splash;
    EXPECT_EQ(splash.size(), QSize(kb::app::twipsToPixelsX(Openning::kWidthTwips),
                                   kb::app::twipsToPixelsY(Openning::kHeightTwips)));
    const QImage shot = splash.grab().toImage();
    ASSERT_FALSE(shot.isNull());
    // Not a plain background: the banner has bright lettering on a dark face.
    const QRgb corner = shot.pixel(2, shot.height() - 3);
    EXPECT_LT(qGray(corner), 80);
    int bright = 0;
    for (int x = 0; x < shot.width(); ++x)
        bright += qGray(shot.pixel(x, shot.height() * 43 / 100)) > 120 ? 1 : 0;
    EXPECT_GT(bright, 5);
}

} // namespace
