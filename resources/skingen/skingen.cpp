// Draws the panel skin, the button pictures, the program icon and the pointer into a
// folder (the committed copies live in resources/skin/), and the desktop icons into
// ../desktop/icons beside that folder. Run with an offscreen Qt platform:
//   QT_QPA_PLATFORM=offscreen kb_skingen resources/skin
#include "SkinDrawing.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <QString>

#include <cstdio>

namespace {

struct ButtonSpec {
    const char* name;
    int w, h;
    Glyph glyph;
};

constexpr ButtonSpec kButtons[] = {
    {"play", 62, 25, Glyph::Play},     {"pause", 37, 25, Glyph::Pause}, {"stop", 25, 25, Glyph::Stop},
    {"rr", 24, 25, Glyph::Rewind},     {"ff", 24, 25, Glyph::Forward},  {"top", 38, 25, Glyph::First},
    {"prev", 49, 25, Glyph::Previous}, {"next", 49, 25, Glyph::Next},   {"bottom", 37, 25, Glyph::Last},
    {"eject", 25, 25, Glyph::Eject},   {"power", 25, 19, Glyph::Power}, {"icon", 19, 19, Glyph::Minimise},
    {"open", 33, 19, Glyph::Open},     {"updrive", 25, 13, Glyph::Up},  {"downdrive", 25, 13, Glyph::Down},
    {"font", 27, 19, Glyph::Font},
};

bool save(const QImage& img, const QString& path, const char* format = nullptr, int quality = -1)
{
    if (img.save(path, format, quality))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

// The desktop's copies of the program icon: the theme sizes as pictures and the scalable
// drawing, in hicolor's folder layout.
bool writeDesktopIcons(const QString& root)
{
    const QString name = QStringLiteral("org.kobaltune.Kobaltune");
    bool ok = true;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(root).arg(size);
        QDir().mkpath(folder);
        ok = save(drawIcon(size), folder + "/" + name + ".png") && ok;
    }
    QDir().mkpath(root + "/scalable/apps");
    QSvgGenerator svg;
    svg.setFileName(root + "/scalable/apps/" + name + ".svg");
    svg.setSize(QSize(64, 64));
    svg.setViewBox(QRect(0, 0, 64, 64));
    svg.setTitle(QStringLiteral("Kobaltune"));
    QPainter p(&svg);
    paintIcon(p, 64);
    return p.end() && ok;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("skin");
    QDir().mkpath(out);
    // Uncompressed (and stored so in the resources): read at start-up at once, without an
    // image-format plugin and without unpacking.
    bool ok = save(drawPanel(), out + "/panel.bmp");
    ok = save(drawSplash(299, 92), out + "/splash.png") && ok;
    for (const ButtonSpec& b : kButtons) {
        for (ButtonLook look : {ButtonLook::Normal, ButtonLook::Pressed, ButtonLook::Disabled}) {
            const QString file = QStringLiteral("%1/btn_%2_%3.png").arg(out, b.name, lookName(look));
            ok = save(drawButton(b.w, b.h, b.glyph, look), file) && ok;
        }
    }
    ok = save(drawEditBackground(385, 281), out + "/edit_back.png") && ok;
    ok = save(drawIcon(64), out + "/icon.png") && ok;
    ok = save(drawPointer(), out + "/pointer.png") && ok;
    ok = save(drawListImage(ListImage::Closed), out + "/list_closed.png") && ok;
    ok = save(drawListImage(ListImage::Leaf), out + "/list_leaf.png") && ok;
    ok = save(drawListImage(ListImage::Archive), out + "/list_archive.png") && ok;
    ok = writeDesktopIcons(out + "/../desktop/icons") && ok;
    return ok ? 0 : 1;
}
