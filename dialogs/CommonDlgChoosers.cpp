#include "dialogs/CommonDlg.h"

#include "app/NumberText.h"
#include "platform/shell/HelpViewer.h"
#include "ui/Twips.h"

#include <QColorDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {

// Point size of a font, also when it was given in pixels.
double pointsOf(const QFont& font, int dpiY)
{
    if (font.pointSizeF() > 0)
        return font.pointSizeF();
    return font.pixelSize() > 0 ? font.pixelSize() * 72.0 / dpiY : 0.0;
}

int16_t wholePoints(double points)
{
    // Halves go to the even neighbour, as the size of a font object is read back.
    return kb::numtext::toInt16(std::nearbyint(points));
}

// The page numbers and copies of the print record are 16-bit.
int word(int32_t v) { return std::clamp(v, 0, 0xFFFF); }

void titleDialog(QWidget& dialog, const QString& title)
{
    if (!title.isEmpty())
        dialog.setWindowTitle(title);
}

} // namespace

int16_t CommonDlg::pointsThroughPixels(double points, int dpiY)
{
    if (dpiY <= 0)
        dpiY = 96;
    const long height = -std::lround(points * dpiY / 72.0);
    return wholePoints(std::abs(72.0 / dpiY * double(height)));
}

bool CommonDlg::isBold(const QFont& font) { return font.weight() >= QFont::Medium; }

void CommonDlg::setForm(QWidget* owner)
{
    form_ = owner;
    if (!owner)
        return;
    const QFont font = owner->font();
    fontBold_ = isBold(font);
    fontItalic_ = font.italic();
    fontName_ = font.family();
    fontSize_ = wholePoints(pointsOf(font, owner->logicalDpiY()));
    fontStrikethru_ = font.strikeOut();
    fontUnderline_ = font.underline();
}

void CommonDlg::ShowColor()
{
    begin(3);
    QWidget* owner = form_;
    if (!owner)
        return;
    for (int i = 0; i < 16; ++i)
        QColorDialog::setCustomColor(i, Qt::white);
    QColorDialog dialog(kb::ui::bgr(uint32_t(color_)), owner);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    titleDialog(dialog, dialogTitle_);
    success_ = dialog.exec() == QDialog::Accepted ? 1 : 0;
    if (success_)
        color_ = int32_t(kb::ui::toBgr(dialog.selectedColor()));
    else
        SetExtendedError(UserCancelled);
}

bool CommonDlg::ShowFont()
{
    begin(4);
    QWidget* owner = form_;
    if (!owner)
        return false;
    if (QFontDatabase::families().isEmpty()) {
        SetExtendedError(NoFonts);
        return true;
    }
    // The requested font is built aside, so the owner's own font and colour never change.
    QFont requested = owner->font();
    requested.setWeight(fontBold_ ? QFont::Bold : QFont::Normal);
    requested.setItalic(fontItalic_);
    if (!fontName_.isEmpty())
        requested.setFamilies({fontName_});
    if (fontSize_ > 0)
        requested.setPointSize(fontSize_);
    requested.setStrikeOut(fontStrikethru_);
    requested.setUnderline(fontUnderline_);

    QFontDialog dialog(requested, owner);
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    titleDialog(dialog, dialogTitle_);
    success_ = dialog.exec() == QDialog::Accepted ? 1 : 0;
    if (!success_) {
        SetExtendedError(UserCancelled);
        return true;
    }
    const QFont chosen = dialog.selectedFont();
    const int dpiY = owner->logicalDpiY();
    fontBold_ = selBold_ = isBold(chosen);
    fontItalic_ = selItalic_ = chosen.italic();
    fontName_ = chosen.family();
    fontSize_ = pointsThroughPixels(pointsOf(chosen, dpiY > 0 ? dpiY : 96), dpiY);
    fontStrikethru_ = selStrikethru_ = chosen.strikeOut();
    fontUnderline_ = selUnderline_ = chosen.underline();
    return true;
}

void CommonDlg::ShowPrinter()
{
    begin(5);
    QWidget* owner = form_;
    if (!owner)
        return;
    QPrinter printer;
    printer.setCopyCount(std::max(1, word(copies_)));
    const int from = word(fromPage_);
    const int to = word(toPage_);
    if (from <= to)
        printer.setFromTo(from, to);
    if (flags_ & PD_PAGENUMS)
        printer.setPrintRange(QPrinter::PageRange);
    QPrintDialog dialog(&printer, owner);
    titleDialog(dialog, dialogTitle_);
    dialog.setMinMax(word(min_), word(max_));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, !(flags_ & PD_NOPAGENUMS));
    success_ = dialog.exec() == QDialog::Accepted ? 1 : 0;
    if (!success_) {
        SetExtendedError(UserCancelled);
        return;
    }
    // The page range is only read back when the user printed a range of pages.
    if (printer.printRange() == QPrinter::PageRange) {
        fromPage_ = printer.fromPage();
        toPage_ = printer.toPage();
    }
    min_ = dialog.minPage();
    max_ = dialog.maxPage();
    copies_ = printer.copyCount();
}

bool CommonDlg::ShowHelp()
{
    begin(6);
    if (helpFile_.isEmpty() || helpCommand_ == 0)
        return true;
    QWidget* owner = form_;
    if (!owner)
        return false;
    // Whatever the help service answers, the help request itself has succeeded.
    kb::shell::showHelp(owner, helpFile_, int(helpCommand_), 0);
    return true;
}
