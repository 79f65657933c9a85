#include "platform/cdrom/DiscSource.h"

#include <QFileInfo>

namespace kb::cdrom {

DiscSource classifyDiscSource(const std::string& source)
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

bool recognizedDiscSource(const std::string& source)
{
    return classifyDiscSource(source).kind != SourceKind::Unknown;
}

} // namespace kb::cdrom
