#include "dialogs/CommonDlg.h"

#include "app/NumberText.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include <climits>

namespace {

constexpr QChar kNul(u'\0');

QString withoutTrailingSpaces(const QString& text)
{
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == u' ')
        --end;
    return text.left(end);
}

// A name the file system could hold: no NUL, no part longer than a file name may be.
bool isPossibleFileName(const QString& name)
{
    if (name.contains(kNul))
        return false;
    const QStringList parts = name.split(u'/', Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        if (QFile::encodeName(part).size() > NAME_MAX)
            return false;
    }
    return QFile::encodeName(name).size() < PATH_MAX;
}

// Qt's name filter text: the description, then the patterns in parentheses (the dialog is
// told to show only the description).
QString qtNameFilter(const CommonDlg::NamePattern& pair)
{
    return pair.description + QStringLiteral(" (") + pair.patterns.join(u' ') + u')';
}

} // namespace

CommonDlg::CommonDlg()
    : fileTitle_(49999, u' ')
{
    setFilter(QStringLiteral("All Files (*.*)|*.*"));
    defaultExt_ = QString(kNul);
}

void CommonDlg::setFilter(const QString& filter)
{
    filter_ = filter;
    filter_.replace(u'|', kNul);
    if (!filter_.endsWith(kNul))
        filter_ += kNul;
}

void CommonDlg::setFileName(const QString& name) { fileName_ = withoutTrailingSpaces(name); }

void CommonDlg::setFileTitle(const QString& title) { fileTitle_ = withoutTrailingSpaces(title); }

bool CommonDlg::setHelpKey(const QString& key)
{
    const auto number = kb::numtext::toInt32(key);
    if (!number)
        return false;
    helpKey_ = *number;
    return true;
}

void CommonDlg::setAction(int16_t action)
{
    action_ = action;
    switch (action) {
    case 1:
        ShowOpen();
        break;
    case 2:
        ShowSave();
        break;
    case 3:
        ShowColor();
        break;
    case 4:
        ShowFont();
        break;
    case 5:
        ShowPrinter();
        break;
    case 6:
        ShowHelp();
        break;
    default:
        break;
    }
}

void CommonDlg::begin(int16_t action)
{
    action_ = action;
    errNumber_ = 0;
    cancelButton_ = false;
    success_ = 0;
}

void CommonDlg::ShowOpen() { ShowFile(1); }
void CommonDlg::ShowSave() { ShowFile(2); }

QList<CommonDlg::NamePattern> CommonDlg::filterPairs(const QString& stored)
{
    QStringList parts = stored.split(kNul);
    if (!parts.isEmpty() && parts.last().isEmpty())
        parts.removeLast();
    QList<NamePattern> pairs;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts[i];
        const QString patternText = i + 1 < parts.size() ? parts[i + 1] : QString();
        if (description.isEmpty() && patternText.isEmpty())
            continue;
        QStringList patterns;
        for (const QString& p : patternText.split(u';', Qt::SkipEmptyParts)) {
            const QString trimmed = p.trimmed();
            // "*.*" is every file here, also names without a dot.
            patterns << (trimmed == QLatin1String("*.*") ? QStringLiteral("*") : trimmed);
        }
        if (patterns.isEmpty())
            patterns << QStringLiteral("*");
        pairs.append({description, patterns});
    }
    return pairs;
}

void CommonDlg::ShowFile(int16_t mode)
{
    begin(mode);
    if (mode != 1 && mode != 2)
        return;
    QWidget* owner = form_;
    if (!owner)
        return;

    const QString proposed = fileName_.left(std::max<int32_t>(0, maxFileSize_ - 1));
    if (!isPossibleFileName(proposed)) {
        SetExtendedError(InvalidFileName);
        return;
    }

    QFileDialog dialog(owner, dialogTitle_);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    // Names match their patterns whatever their letter case (TRACK01.WAV is a "*.wav").
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    if (mode == 2) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !(flags_ & OFN_OVERWRITEPROMPT));
    } else if (flags_ & OFN_ALLOWMULTISELECT) {
        dialog.setFileMode(QFileDialog::ExistingFiles);
    } else {
        dialog.setFileMode(flags_ & OFN_FILEMUSTEXIST ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    }

    const QList<NamePattern> pairs = filterPairs(filter_);
    QStringList nameFilters;
    for (const NamePattern& pair : pairs)
        nameFilters << qtNameFilter(pair);
    if (!nameFilters.isEmpty()) {
        dialog.setNameFilters(nameFilters);
        const int index = filterIndex_ >= 1 && filterIndex_ <= nameFilters.size() ? filterIndex_ - 1 : 0;
        dialog.selectNameFilter(nameFilters[index]);
    }
    const QString extension = defaultExt_.section(kNul, 0, 0);
    if (!extension.isEmpty())
        dialog.setDefaultSuffix(extension);
    if (!initDir_.isEmpty())
        dialog.setDirectory(initDir_);
    if (!proposed.isEmpty())
        dialog.selectFile(proposed);

    success_ = dialog.exec() == QDialog::Accepted ? 1 : 0;
    if (!success_) {
        SetExtendedError(UserCancelled);
        return;
    }
    const QStringList chosen = dialog.selectedFiles();
    QString result = chosen.value(0);
    if (chosen.size() > 1) {
        QStringList names{QFileInfo(chosen.first()).absolutePath()};
        for (const QString& path : chosen)
            names << QFileInfo(path).fileName();
        result = names.join(kNul);
    }
    if (result.isEmpty() || result.size() >= maxFileSize_) {
        success_ = 0;
        SetExtendedError(result.isEmpty() ? InvalidFileName : BufferTooSmall);
        return;
    }
    fileName_ = result;
    fileTitle_ = QFileInfo(chosen.first()).fileName().left(fileTitle_.size());
}

int32_t CommonDlg::errorNumberOf(uint32_t code)
{
    switch (code) {
    case 0x0002:
        return 32765;
    case 0x0005:
    case 0x0007:
        return 32760;
    case 0x0006:
        return 32761;
    case 0x0008:
        return 32759;
    case 0x0009:
        return 32758;
    case 0x000A:
        return 32757;
    case 0x2001:
        return 24574;
    case 0x3001:
        return 20478;
    case 0x3002:
        return 20477;
    case 0x3003:
        return 20476;
    default:
        break;
    }
    // 0x1000 to 0x100B, the print dialog's codes, count down from 28671.
    if (code >= 0x1000 && code <= 0x100B)
        return 28671 - int32_t(code - 0x1000);
    return -32768;
}

void CommonDlg::SetExtendedError(uint32_t code)
{
    if (code == UserCancelled) {
        if (cancelError_) {
            errNumber_ = ErrCancel;
            cancelButton_ = true;
        } else {
            errNumber_ = 0;
        }
        return;
    }
    errNumber_ = errorNumberOf(code);
}

QString CommonDlg::errorText(int32_t errNumber)
{
    switch (errNumber) {
    case 0:
        return {};
    case 20476:
        return QStringLiteral("ﾒﾝﾊﾞ lpstrFile が指すﾊﾞｯﾌｧが小さすぎます。");
    case 20477:
        return QStringLiteral("ﾌｧｲﾙ名が無効です。");
    case 20478:
        return QStringLiteral("ﾒﾓﾘ不足のために、ﾘｽﾄ ﾎﾞｯｸｽをｻﾌﾞｸﾗｽ化できません。");
    case 24574:
        return QStringLiteral("ﾌｫﾝﾄが存在しません。");
    case 28660:
        return QStringLiteral("WIN.INI ﾌｧｲﾙ内の [devices] ｾｸｼｮﾝに、必要なﾌﾟﾘﾝﾀについてのｴﾝﾄﾘがありません。");
    case 28661:
        return QStringLiteral("PrintDlg 関数が情報ｺﾝﾃｷｽﾄを作成できません。");
    case 28662:
        return QStringLiteral("DevMode ﾃﾞｰﾀ構造と DevNames ﾃﾞｰﾀ構造のﾃﾞｰﾀが異なるﾌﾟﾘﾝﾀを指しています。");
    case 28663:
        return QStringLiteral("通常使うﾌﾟﾘﾝﾀが設定されていません。");
    case 28664:
        return QStringLiteral("ﾌﾟﾘﾝﾀ ﾄﾞﾗｲﾊﾞが見つかりません。");
    case 28665:
        return QStringLiteral("PrintDlg 関数を初期化できません。");
    case 28666:
        return QStringLiteral("ﾌﾟﾘﾝﾀ ﾄﾞﾗｲﾊﾞが DevMode ﾃﾞｰﾀ構造を初期化できません。");
    case 28667:
        return QStringLiteral("PrintDlg 関数が、指定したﾌﾟﾘﾝﾀ ﾄﾞﾗｲﾊﾞをﾛｰﾄﾞできません。");
    case 28668:
    case 28671:
        return QStringLiteral("PDReturnDefault ﾌﾗｸﾞが設定されていますが、hDevMode ﾌｨｰﾙﾄﾞまたは hDevNames ﾌｨｰﾙﾄﾞが 0 ではありません。");
    case 28669:
        return QStringLiteral("CommonDialog 関数が WIN.INI の [devices] ｾｸｼｮﾝの文字列を解析できません。");
    case 28670:
        return QStringLiteral("必要なﾘｿｰｽを読み込めません。");
    case 32755:
        return QStringLiteral("[ｷｬﾝｾﾙ] ボタンが選択されました。");
    case 32757:
        return QStringLiteral("関数が、ﾊﾝﾄﾞﾙに関連付けられたﾒﾓﾘをﾛｯｸできません。");
    case 32758:
        return QStringLiteral("関数が、内部のﾃﾞｰﾀ構造にﾒﾓﾘを割り当てられません。");
    case 32759:
        return QStringLiteral("関数が指定したﾘｿｰｽをﾛｯｸできません。");
    case 32760:
    case 32761:
        return QStringLiteral("関数が指定したﾘｿｰｽをﾛｰﾄﾞできません。");
    case 32765:
        return QStringLiteral("関数を初期化できません。");
    case -32768:
        return QStringLiteral("関数がﾀﾞｲｱﾛｸﾞ ﾎﾞｯｸｽをﾛｰﾄﾞできません。");
    default:
        return QStringLiteral("未知のｴﾗｰです。");

    }
}
