#include "dialogs/CommonDlg.h"

#include "tests/support/DialogDriver.h"
#include "tests/support/Eventually.h"
#include "tests/support/TempDir.h"

#include <QColorDialog>
#include <QComboBox>
#include <QFile>
#include <QFontDialog>
#include <QPrintDialog>
#include <QWidget>

#include <gtest/gtest.h>

using namespace kbtest;

namespace {

const QChar kNul(u'\0');

void touch(const QString& path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

// A visible owner window with a font of its own.
struct Owner {
    Owner()
    {
        QFont f(QStringLiteral("Liberation Serif"));
        f.setPointSize(11);
        f.setItalic(true);
        window.setFont(f);
        window.resize(200, 100);
        window.show();
    }
    QWidget window;
};

TEST(CommonDlg, StartsFromTheDefaults)
{
    CommonDlg d;
    EXPECT_EQ(d.storedFilter(), QStringLiteral("All Files (*.*)") + kNul + "*.*" + kNul);
    EXPECT_EQ(d.FileTitle(), QString(49999, u' '));
    EXPECT_EQ(d.FileName(), QString());
    EXPECT_EQ(d.HelpKey(), "0");
    EXPECT_EQ(d.Copies(), 1);
    EXPECT_EQ(d.ErrNumber(), 0);
    EXPECT_EQ(d.ErrDescription(), QString());
    EXPECT_FALSE(d.CancelButton());
    EXPECT_EQ(d.Form(), nullptr);
}

TEST(CommonDlg, PropertySettersConvertAsDocumented)
{
    CommonDlg d;
    d.setFilter("Wave Files (*.wav)|*.wav");
    EXPECT_EQ(d.storedFilter(), QStringLiteral("Wave Files (*.wav)") + kNul + "*.wav" + kNul);
    d.setFilter("A|*.a|B|*.b|");
    EXPECT_EQ(d.storedFilter(), QStringLiteral("A") + kNul + "*.a" + kNul + "B" + kNul + "*.b" + kNul);

    d.setFileName("/m/song.wav   ");
    EXPECT_EQ(d.FileName(), "/m/song.wav");
    d.setFileTitle("song.wav  ");
    EXPECT_EQ(d.FileTitle(), "song.wav");

    EXPECT_TRUE(d.setHelpKey(" 42 "));
    EXPECT_EQ(d.HelpKey(), "42");
    EXPECT_FALSE(d.setHelpKey("forty"));
    EXPECT_EQ(d.HelpKey(), "42");

    d.setAction(9); // no dialog of that number: only stored
    EXPECT_EQ(d.Action(), 9);
}

TEST(CommonDlg, FilterPairsBecomeCaseInsensitivePatternLists)
{
    const auto pairs = CommonDlg::filterPairs(QStringLiteral("Video (*.avi;*.mpg)") + kNul + "*.avi;*.mpg" + kNul
                                              + "All" + kNul + "*.*" + kNul);
    ASSERT_EQ(pairs.size(), 2);
    EXPECT_EQ(pairs[0].description, "Video (*.avi;*.mpg)");
    EXPECT_EQ(pairs[0].patterns, (QStringList{"*.avi", "*.mpg"}));
    EXPECT_EQ(pairs[1].patterns, QStringList{"*"});
}

TEST(CommonDlg, ExtendedErrorsMapToErrorNumbersAndTexts)
{
    const std::pair<uint32_t, int32_t> table[] = {
        {0x0002, 32765}, {0x0005, 32760}, {0x0006, 32761}, {0x0007, 32760}, {0x0008, 32759},
        {0x0009, 32758}, {0x000A, 32757}, {0x1000, 28671}, {0x1001, 28670}, {0x1005, 28666},
        {0x100B, 28660}, {0x2001, 24574}, {0x3001, 20478}, {0x3002, 20477}, {0x3003, 20476},
        {0x0001, -32768}, {0x000B, -32768}, {0x100C, -32768}, {0x2002, -32768}, {0x4001, -32768},
        {0xFFFF, -32768}};
    for (const auto& [code, number] : table)
        EXPECT_EQ(CommonDlg::errorNumberOf(code), number) << std::hex << code;

    EXPECT_EQ(CommonDlg::errorText(0), QString());
    EXPECT_EQ(CommonDlg::errorText(20477), QStringLiteral("ﾌｧｲﾙ名が無効です。"));
    EXPECT_EQ(CommonDlg::errorText(28668), CommonDlg::errorText(28671));
    EXPECT_EQ(CommonDlg::errorText(32760), CommonDlg::errorText(32761));
    EXPECT_EQ(CommonDlg::errorText(-32768), QStringLiteral("関数がﾀﾞｲｱﾛｸﾞ ﾎﾞｯｸｽをﾛｰﾄﾞできません。"));
    EXPECT_EQ(CommonDlg::errorText(12345), QStringLiteral("未知のｴﾗｰです。"));
}

TEST(CommonDlgOpen, ListsTheFilterCaseInsensitivelyAndReturnsThePick)
{
    TempDir dir;
    touch(dir.file("TRACK01.WAV"));
    touch(dir.file("b.wav"));
    touch(dir.file("c.mp3"));
    Owner owner;
    CommonDlg d;
    d.setForm(&owner.window);
    d.setDialogTitle(QStringLiteral("WAVEﾌｧｲﾙの参照"));
    d.setFilter("Wave Files (*.wav)|*.wav");
    d.setFilterIndex(1);
    d.setInitDir(dir.path());
    d.setFlags(0x201804);

    QString title, filterShown;
    int filters = 0;
    QStringList listed;
    whenShown<QFileDialog>([&](QFileDialog& dialog) {
        title = dialog.windowTitle();
        auto* types = dialog.findChild<QComboBox*>("fileTypeCombo");
        filters = types ? types->count() : -1;
        filterShown = types ? types->currentText() : QString();
        eventually([&] { return listedNames(dialog).size() >= 2; }, 5000);
        listed = listedNames(dialog);
        fileNameEdit(dialog)->setText("TRACK01.WAV");
        static_cast<QDialog&>(dialog).accept();
    });
    d.ShowOpen();

    EXPECT_EQ(title, QStringLiteral("WAVEﾌｧｲﾙの参照"));
    EXPECT_EQ(filters, 1);
    EXPECT_EQ(filterShown, "Wave Files (*.wav)");
    EXPECT_EQ(listed, (QStringList{"TRACK01.WAV", "b.wav"}));
    EXPECT_EQ(d.ErrNumber(), 0);
    EXPECT_EQ(d.Action(), 1);
    EXPECT_NE(d.successValue(), 0);
    EXPECT_EQ(d.FileName(), dir.file("TRACK01.WAV"));
    EXPECT_EQ(d.FileTitle(), "TRACK01.WAV");
}

TEST(CommonDlgOpen, CancelIsAnErrorOnlyWhenAskedFor)
{
    Owner owner;
    for (const bool cancelError : {false, true}) {
        CommonDlg d;
        d.setForm(&owner.window);
        d.setFileName("/kept/as/given.wav");
        d.setCancelError(cancelError);
        whenShown<QFileDialog>([](QFileDialog& dialog) { dialog.reject(); });
        d.setAction(1);
        EXPECT_EQ(d.FileName(), "/kept/as/given.wav");
        EXPECT_EQ(d.successValue(), 0);
        if (cancelError) {
            EXPECT_EQ(d.ErrNumber(), 32755);
            EXPECT_EQ(d.ErrDescription(), QStringLiteral("[ｷｬﾝｾﾙ] ボタンが選択されました。"));
            EXPECT_TRUE(d.CancelButton());
        } else {
            EXPECT_EQ(d.ErrNumber(), 0);
            EXPECT_EQ(d.ErrDescription(), QString());
            EXPECT_FALSE(d.CancelButton());
        }
    }
}

TEST(CommonDlgOpen, TheNameBufferCutsTheProposalAndRefusesLongerPicks)
{
    TempDir dir;
    touch(dir.file("a-rather-long-name.wav"));
    Owner owner;
    CommonDlg d;
    d.setForm(&owner.window);
    const QString proposal = dir.file("abcdefgh.wav");
    d.setMaxFileSize(int32_t(dir.path().size()) + 6); // room for "/abcd" and the NUL
    d.setFileName(proposal);
    d.setCancelError(true);
    QString offered;
    whenShown<QFileDialog>([&](QFileDialog& dialog) {
        offered = fileNameEdit(dialog)->text();
        fileNameEdit(dialog)->setText(dir.file("a-rather-long-name.wav"));
        static_cast<QDialog&>(dialog).accept();
    });
    d.ShowSave();
    EXPECT_EQ(offered, "abcd");
    EXPECT_EQ(d.Action(), 2);
    EXPECT_EQ(d.ErrNumber(), 20476);
    EXPECT_EQ(d.successValue(), 0);
    EXPECT_EQ(d.FileName(), proposal);
}

TEST(CommonDlgOpen, NamesThatCannotExistOrNoOwnerShowNoDialog)
{
    RejectDialogs watch;
    Owner owner;
    CommonDlg bad;
    bad.setForm(&owner.window);
    bad.setFileName("/tmp/" + QString(300, u'x'));
    bad.ShowOpen();
    EXPECT_EQ(bad.ErrNumber(), 20477);

    CommonDlg ownerless;
    ownerless.ShowOpen();
    ownerless.ShowColor();
    ownerless.ShowPrinter();
    EXPECT_EQ(ownerless.ErrNumber(), 0);
    EXPECT_EQ(ownerless.successValue(), 0);
    EXPECT_FALSE(ownerless.ShowFont());
    EXPECT_EQ(watch.shown, 0);
}

TEST(CommonDlgFont, FormCopiesTheOwnersFontAndShowFontReadsTheChoiceBack)
{
    Owner owner;
    const QFont before = owner.window.font();
    CommonDlg d;
    d.setForm(&owner.window);
    EXPECT_EQ(d.FontSize(), 11);
    EXPECT_TRUE(d.FontItalic());
    EXPECT_FALSE(d.FontBold());
    d.setFontBold(true);
    d.setFontItalic(false);

    QFont offered;
    whenShown<QFontDialog>([&](QFontDialog& dialog) {
        offered = dialog.currentFont();
        QFont pick(QStringLiteral("Liberation Sans"));
        pick.setPointSize(14);
        pick.setStyleName(QStringLiteral("Bold"));
        pick.setUnderline(true);
        dialog.setCurrentFont(pick);
        dialog.accept();
    });
    ASSERT_TRUE(d.ShowFont());
    EXPECT_EQ(offered.weight(), QFont::Bold);
    EXPECT_FALSE(offered.italic());
    EXPECT_EQ(offered.pointSize(), 11);

    EXPECT_EQ(d.ErrNumber(), 0);
    EXPECT_EQ(d.Action(), 4);
    EXPECT_TRUE(d.FontBold());
    EXPECT_TRUE(d.SelBold());
    EXPECT_EQ(d.FontSize(), 14);
    EXPECT_TRUE(d.FontUnderline());
    EXPECT_TRUE(d.SelUnderline());
    EXPECT_FALSE(d.FontItalic());
    EXPECT_EQ(owner.window.font(), before);

    whenShown<QFontDialog>([&](QFontDialog& dialog) {
        QFont pick = dialog.currentFont();
        pick.setStyleName(QStringLiteral("Regular"));
        dialog.setCurrentFont(pick);
        dialog.accept();
    });
    d.ShowFont();
    EXPECT_FALSE(d.FontBold());
}

TEST(CommonDlgFont, BoldStartsAtWeight500)
{
    QFont f;
    f.setWeight(QFont::Medium);
    EXPECT_TRUE(CommonDlg::isBold(f));
    f.setWeight(QFont::Normal);
    EXPECT_FALSE(CommonDlg::isBold(f));
}

TEST(CommonDlgFont, SizesRoundThroughTheOwnersPixelsHalvesToEven)
{
    // 10.5 pt is 14 pixels at 96 dpi, back to 10.5 pt: the even 10. 11.6 pt is 15 pixels,
    // 11.25 pt: 11. At 120 dpi 7.5 pt is 12.5 pixels, rounded away to 13 (7.8 pt): 8.
    EXPECT_EQ(CommonDlg::pointsThroughPixels(10.5, 96), 10);
    EXPECT_EQ(CommonDlg::pointsThroughPixels(11.6, 96), 11);
    EXPECT_EQ(CommonDlg::pointsThroughPixels(12.0, 96), 12);
    EXPECT_EQ(CommonDlg::pointsThroughPixels(7.5, 120), 8);
    EXPECT_EQ(CommonDlg::pointsThroughPixels(9.0, 0), 9) << "an owner without a resolution counts as 96 dpi";
}

TEST(CommonDlgFont, CancelKeepsTheFontProperties)
{
    Owner owner;
    CommonDlg d;
    d.setForm(&owner.window);
    d.setCancelError(true);
    whenShown<QFontDialog>([](QFontDialog& dialog) { dialog.reject(); });
    d.ShowFont();
    EXPECT_EQ(d.ErrNumber(), 32755);
    EXPECT_TRUE(d.CancelButton());
    EXPECT_EQ(d.FontSize(), 11);
    EXPECT_TRUE(d.FontItalic());
}

TEST(CommonDlgColor, ReturnsTheChosenColourAsBlueGreenRed)
{
    Owner owner;
    CommonDlg d;
    d.setForm(&owner.window);
    d.setColor(0xFF0000); // blue
    QColor offered;
    QColor custom;
    whenShown<QColorDialog>([&](QColorDialog& dialog) {
        offered = dialog.currentColor();
        custom = QColorDialog::customColor(15);
        dialog.setCurrentColor(QColor(255, 0, 0));
        dialog.accept();
    });
    d.ShowColor();
    EXPECT_EQ(offered, QColor(0, 0, 255));
    EXPECT_EQ(custom, QColor(Qt::white));
    EXPECT_EQ(d.Color(), 0x0000FF);
    EXPECT_EQ(d.ErrNumber(), 0);
    EXPECT_EQ(d.Action(), 3);
}

TEST(CommonDlgPrinter, ReadsRangeAndCopiesBack)
{
    Owner owner;
    CommonDlg d;
    d.setForm(&owner.window);
    d.setMin(1);
    d.setMax(9);
    d.setFromPage(2);
    d.setToPage(3);
    d.setCopies(2);
    d.setFlags(CommonDlg::PD_PAGENUMS);
    int range[2] = {0, 0};
    whenShown<QPrintDialog>([&](QPrintDialog& dialog) {
        range[0] = dialog.minPage();
        range[1] = dialog.maxPage();
        dialog.accept();
    });
    d.ShowPrinter();
    EXPECT_EQ(range[0], 1);
    EXPECT_EQ(range[1], 9);
    EXPECT_EQ(d.ErrNumber(), 0);
    EXPECT_EQ(d.Action(), 5);
    EXPECT_EQ(d.FromPage(), 2);
    EXPECT_EQ(d.ToPage(), 3);
    EXPECT_EQ(d.Copies(), 2);
}

TEST(CommonDlgHelp, AsksTheHelpServiceOnlyWithAFileAndACommand)
{
    CommonDlg d;
    d.setHelpFile("KOBALTUNE.HLP");
    EXPECT_TRUE(d.ShowHelp()) << "command 0 does nothing, not even look for an owner";
    EXPECT_EQ(d.Action(), 6);
    d.setHelpCommand(3);
    EXPECT_FALSE(d.ShowHelp()) << "no owner window to show help for";

    Owner owner;
    d.setForm(&owner.window);
    EXPECT_TRUE(d.ShowHelp());
    EXPECT_EQ(d.ErrNumber(), 0);
}

} // namespace
