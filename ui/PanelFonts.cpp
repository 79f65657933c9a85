#include "ui/PanelFonts.h"

#include <QStringList>

namespace kb::ui {

void installFontSubstitutions()
{
    static const char* const gothic[] = {"MS Gothic", "ＭＳ ゴシック", "MS UI Gothic", "Osaka－等幅"};
    static const char* const pgothic[] = {"MS PGothic", "ＭＳ Ｐゴシック", "Meiryo", "メイリオ", "Osaka"};
    static const char* const mincho[] = {"MS Mincho", "ＭＳ 明朝", "MS PMincho", "ＭＳ Ｐ明朝"};
    for (const char* n : gothic)
        QFont::insertSubstitutions(QString::fromUtf8(n), QStringList{"IPAGothic", "IPAPGothic"});
    for (const char* n : pgothic)
        QFont::insertSubstitutions(QString::fromUtf8(n), QStringList{"IPAPGothic", "IPAGothic"});
    for (const char* n : mincho)
        QFont::insertSubstitutions(QString::fromUtf8(n), QStringList{"IPAMincho", "IPAPMincho", "IPAGothic"});
    QFont::insertSubstitutions("Times New Roman", QStringList{"Liberation Serif"});
}

QFont ledFont(int pixelSize)
{
    QFont f(QStringLiteral("DSEG7 Classic"));
    f.setPixelSize(pixelSize);
    f.setBold(true);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

QFont legendFont(int pixelSize, bool bold)
{
    QFont f(QStringLiteral("IPAPGothic"));
    f.setFamilies(QStringList{QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")});
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

QFont deviceFont()
{
    QFont f = legendFont(11, true);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 0.5);
    return f;
}

QFont gridFont()
{
    QFont f(QStringLiteral("IPAGothic"));
    f.setStyleHint(QFont::Monospace);
    f.setFixedPitch(true);
    f.setPixelSize(9);
    return f;
}

QFont listFont()
{
    QFont f(QStringLiteral("IPAPGothic"));
    f.setPixelSize(11);
    return f;
}

QFont titleFont(const QString& name, int points)
{
    QFont f(name);
    f.setPointSize(points);
    f.setBold(true);
    return f;
}

QFont legendSerifFont()
{
    QFont f(QStringLiteral("Times New Roman"));
    f.setPointSize(9);
    return f;
}

QFont aboutFont(int points)
{
    QFont f(QStringLiteral("ＭＳ Ｐゴシック"));
    f.setPointSize(points);
    return f;
}

QString fileListStyle()
{
    return QStringLiteral(
        "QTreeWidget { background: #101214; color: #e8d36a; border: 1px solid #050506;"
        " selection-background-color: #2a6f86; selection-color: #ffffff;"
        " alternate-background-color: #15181b; }"
        "QHeaderView::section { background: #2b2e33; color: #d8dade; border: 0;"
        " border-right: 1px solid #1a1c1f; padding: 1px 4px; }"
        "QScrollBar:vertical, QScrollBar:horizontal { background: #1a1c1f; }"
        "QScrollBar::handle { background: #4a4e55; border-radius: 3px; min-height: 16px; min-width: 16px; }");
}

QString dialogStyle()
{
    return QStringLiteral(
        "QLabel#legend { color: #e6e8ec; }"
        "QLineEdit, QListWidget { background: #101214; color: #e8d36a; border: 1px solid #050506;"
        " selection-background-color: #2a6f86; selection-color: #ffffff; }"
        "QPushButton { background: #3a3d43; color: #f0f0f0; border: 1px solid #141517;"
        " border-radius: 3px; padding: 2px 6px; }"
        "QPushButton:pressed { background: #26282c; }"
        "QPushButton:focus { border: 1px solid #6fb6cc; }");
}

} // namespace kb::ui
