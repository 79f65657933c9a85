#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>

#include <cstdint>

class QFont;
class QWidget;

// The system's open, save, colour, font, print set-up and help dialogs behind one flat set of
// properties. A caller makes one instance per dialog, sets the inputs, calls a Show operation
// and reads the results. A cancel or a failure is never thrown: it is reported in ErrNumber,
// ErrDescription and CancelButton.
class CommonDlg {
public:
    // Extended error codes of a failed dialog (0 = the user cancelled); SetExtendedError maps
    // them to ErrNumber.
    enum ExtendedError : uint32_t {
        UserCancelled = 0x0000,
        InitializationFailed = 0x0002,
        NoPrinterDevices = 0x1007,
        NoFonts = 0x2001,
        InvalidFileName = 0x3002,
        BufferTooSmall = 0x3003,
    };
    // Option bits of the file dialog that have a counterpart here.
    static constexpr int32_t OFN_OVERWRITEPROMPT = 0x2;
    static constexpr int32_t OFN_ALLOWMULTISELECT = 0x200;
    static constexpr int32_t OFN_FILEMUSTEXIST = 0x1000;
    // Option bits of the print dialog: start on a page range; no page range at all.
    static constexpr int32_t PD_PAGENUMS = 0x2;
    static constexpr int32_t PD_NOPAGENUMS = 0x8;
    static constexpr int32_t ErrCancel = 32755;

    CommonDlg();

    // Filter: "description|pattern|..." stored as NUL-separated pairs ending in NUL.
    void setFilter(const QString& filter);
    QString storedFilter() const { return filter_; }
    void setMaxFileSize(int32_t size) { maxFileSize_ = size; }
    QString DialogTitle() const { return dialogTitle_; }
    void setDialogTitle(const QString& title) { dialogTitle_ = title; }

    void ShowOpen();
    void ShowSave();

    void setInitDir(const QString& dir) { initDir_ = dir; }
    QString FileName() const { return fileName_; }
    void setFileName(const QString& name);
    void setFilterIndex(int16_t index) { filterIndex_ = index; }
    void setFlags(int32_t flags) { flags_ = flags; }
    void setDefaultExt(const QString& ext) { defaultExt_ = ext; }
    QString FileTitle() const { return fileTitle_; }
    void setFileTitle(const QString& title);

    void ShowColor();
    int32_t Color() const { return color_; }
    void setColor(int32_t color) { color_ = color; }
    // False when the dialog could not run because there is no owner window.
    bool ShowFont();
    bool ShowHelp();
    void ShowPrinter();

    QString HelpFile() const { return helpFile_; }
    void setHelpFile(const QString& file) { helpFile_ = file; }
    int32_t HelpCommand() const { return helpCommand_; }
    void setHelpCommand(int32_t command) { helpCommand_ = command; }
    int32_t HelpContext() const { return helpContext_; }
    void setHelpContext(int32_t context) { helpContext_ = context; }
    QString HelpKey() const { return QString::number(helpKey_); }
    // False (and the stored number unchanged) when the text is not a number.
    bool setHelpKey(const QString& key);

    QWidget* Form() const { return form_; }
    // Also copies the owner's current font into the Font* properties.
    void setForm(QWidget* owner);

    bool FontBold() const { return fontBold_; }
    bool SelBold() const { return selBold_; }
    void setFontBold(bool on) { fontBold_ = on; }
    void setSelBold(bool on) { selBold_ = on; }
    bool FontItalic() const { return fontItalic_; }
    bool SelItalic() const { return selItalic_; }
    void setFontItalic(bool on) { fontItalic_ = on; }
    void setSelItalic(bool on) { selItalic_ = on; }
    QString FontName() const { return fontName_; }
    void setFontName(const QString& name) { fontName_ = name; }
    int16_t FontSize() const { return fontSize_; }
    void setFontSize(int16_t points) { fontSize_ = points; }
    bool FontStrikethru() const { return fontStrikethru_; }
    bool SelStrikethru() const { return selStrikethru_; }
    void setFontStrikethru(bool on) { fontStrikethru_ = on; }
    void setSelStrikethru(bool on) { selStrikethru_ = on; }
    bool FontUnderline() const { return fontUnderline_; }
    bool SelUnderline() const { return selUnderline_; }
    void setFontUnderline(bool on) { fontUnderline_ = on; }
    void setSelUnderline(bool on) { selUnderline_ = on; }

    int32_t Max() const { return max_; }
    void setMax(int32_t v) { max_ = v; }
    int32_t Min() const { return min_; }
    void setMin(int32_t v) { min_ = v; }
    bool CancelError() const { return cancelError_; }
    void setCancelError(bool on) { cancelError_ = on; }
    int16_t Action() const { return action_; }
    // Stores the number and shows dialog 1 to 6 (open, save, colour, font, print, help).
    void setAction(int16_t action);
    bool CancelButton() const { return cancelButton_; }
    QString ErrDescription() const { return errorText(errNumber_); }
    int32_t ErrNumber() const { return errNumber_; }

    int32_t hdc() const { return hdc_; }
    void sethdc(int32_t dc) { hdc_ = dc; }
    int32_t FromPage() const { return fromPage_; }
    void setFromPage(int32_t v) { fromPage_ = v; }
    int32_t ToPage() const { return toPage_; }
    void setToPage(int32_t v) { toPage_ = v; }
    int32_t Copies() const { return copies_; }
    void setCopies(int32_t v) { copies_ = v; }
    int32_t PrinterDefault() const { return printerDefault_; }
    void setPrinterDefault(int32_t v) { printerDefault_ = v; }

    // Non-zero when the user confirmed the last dialog.
    int32_t successValue() const { return success_; }

    // Whether a font reads back as bold (weight 500 and above).
    static bool isBold(const QFont& font);
    // A chosen size as it reads back: the character height in whole pixels of the owner's
    // resolution, turned back into whole points (halves to even).
    static int16_t pointsThroughPixels(double points, int dpiY);
    // The message text of an ErrNumber value.
    static QString errorText(int32_t errNumber);
    // The ErrNumber of an extended error code, as SetExtendedError maps it (cancel aside).
    static int32_t errorNumberOf(uint32_t extendedError);

    // The stored filter as name filters of a Qt file dialog: the description shown, then the
    // patterns, "*.*" meaning every file.
    struct NamePattern {
        QString description;
        QStringList patterns;
    };
    static QList<NamePattern> filterPairs(const QString& stored);

private:
    void ShowFile(int16_t mode);
    void SetExtendedError(uint32_t code);
    // Sets Action and clears ErrNumber, CancelButton and the success value.
    void begin(int16_t action);

    QString filter_;
    int32_t maxFileSize_ = 50000;
    QString dialogTitle_;
    QString initDir_;
    QString fileName_;
    int16_t filterIndex_ = 0;
    int32_t flags_ = 0;
    QString defaultExt_;
    QString fileTitle_;
    int32_t color_ = 0;
    QString helpFile_;
    int32_t helpCommand_ = 0;
    int32_t helpContext_ = 0;
    int32_t helpKey_ = 0;
    QPointer<QWidget> form_;
    bool fontBold_ = false, selBold_ = false;
    bool fontItalic_ = false, selItalic_ = false;
    QString fontName_;
    int16_t fontSize_ = 0;
    bool fontStrikethru_ = false, selStrikethru_ = false;
    bool fontUnderline_ = false, selUnderline_ = false;
    int32_t max_ = 0;
    int32_t min_ = 0;
    bool cancelError_ = false;
    int16_t action_ = 0;
    bool cancelButton_ = false;
    int32_t errNumber_ = 0;
    int32_t hdc_ = 0;
    int32_t fromPage_ = 0;
    int32_t toPage_ = 0;
    int32_t copies_ = 1;
    int32_t printerDefault_ = 0;
    int32_t success_ = 0;
};
