#include "platform/cdrom/Disc.h"

#include "platform/cdrom/CdioDisc.h"
#include "platform/cdrom/CueDisc.h"

#include <QFileInfo>

namespace kb::cdrom {

namespace {

enum class SourceKind { Unknown, Device, Cue, CdrdaoToc, Nrg };

struct Source {
    SourceKind kind = SourceKind::Unknown;
    std::string path; // what to open: for a .bin with a sheet beside it, the sheet
};

Source classify(const std::string& source)
{
    if (source.rfind("/dev/", 0) == 0)
        return {SourceKind::Device, source};
    const QFileInfo info(QString::fromStdString(source));
    const QString suffix = info.suffix().toLower();
    if (suffix == "toc")
        return {SourceKind::CdrdaoToc, source};
    if (suffix == "nrg")
        return {SourceKind::Nrg, source};
    if (suffix == "cue")
        return {SourceKind::Cue, source};
    if (suffix == "bin" || suffix == "img") {
        // A BIN without its sheet: use the sheet beside it when there is one.
        const QString cue = info.absolutePath() + "/" + info.completeBaseName() + ".cue";
        if (QFileInfo::exists(cue))
            return {SourceKind::Cue, cue.toStdString()};
    }
    return {};
}

} // namespace

bool recognizedDiscSource(const std::string& source)
{
    return classify(source).kind != SourceKind::Unknown;
}

DiscOpenResult openDisc(const std::string& source)
{
    const Source s = classify(source);
    if (s.kind == SourceKind::Device)
        return openCdioDisc(source, CdioSource::Drive);
    if (!QFileInfo::exists(QString::fromStdString(source))) {
        DiscOpenResult r;
        r.error = DiscError::NotFound;
        r.message = source + ": no such file";
        return r;
    }
    switch (s.kind) {
    case SourceKind::CdrdaoToc:
        return openCdioDisc(s.path, CdioSource::CdrdaoToc);
    case SourceKind::Nrg:
        return openCdioDisc(s.path, CdioSource::Nrg);
    case SourceKind::Cue:
        return openCueDisc(s.path);
    case SourceKind::Device:
    case SourceKind::Unknown:
        break;
    }
    DiscOpenResult r;
    r.error = DiscError::Invalid;
    r.message = source + ": not a disc image this player reads (.cue, .toc, .nrg)";
    return r;
}

} // namespace kb::cdrom
