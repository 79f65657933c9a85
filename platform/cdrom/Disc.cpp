#include "platform/cdrom/Disc.h"

#include "platform/cdrom/CdioDisc.h"
#include "platform/cdrom/CdrdaoTocCheck.h"
#include "platform/cdrom/CueDisc.h"
#include "platform/cdrom/DiscSource.h"
#include "platform/cdrom/NrgDisc.h"

#include <QFile>
#include <QFileInfo>

namespace kb::cdrom {

namespace {

DiscOpenResult refused(const std::string& source, DiscError error, const std::string& why)
{
    DiscOpenResult r;
    r.error = error;
    r.message = source + ": " + why;
    return r;
}

// libcdio's cdrdao parser trusts its input: only files that pass our own check reach it.
DiscOpenResult openCdrdaoToc(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return refused(path, DiscError::Unreadable, "cannot be read");
    std::string why;
    if (file.size() > kMaxCdrdaoTocBytes || !checkCdrdaoToc(file.read(kMaxCdrdaoTocBytes + 1), why))
        return refused(path, DiscError::Invalid, why.empty() ? "too large for a table-of-contents file" : why);
    return openCdioDisc(path, CdioSource::CdrdaoToc);
}

DiscOpenResult openImage(const DiscSource& s)
{
    switch (s.kind) {
    case SourceKind::CdrdaoToc: return openCdrdaoToc(s.path);
    case SourceKind::Nrg: return openNrgDisc(s.path);
    case SourceKind::Cue: return openCueDisc(s.path);
    case SourceKind::Device: return openCdioDisc(s.path, CdioSource::Drive);
    case SourceKind::Unknown: break;
    }
    return {};
}

} // namespace

DiscOpenResult openDisc(const std::string& source)
{
    const DiscSource s = classifyDiscSource(source);
    if (s.kind != SourceKind::Device && !QFileInfo::exists(QString::fromStdString(source)))
        return refused(source, DiscError::NotFound, "no such file");
    if (s.kind == SourceKind::Unknown)
        return refused(source, DiscError::Invalid, "not a disc image this player reads (.cue, .toc, .nrg)");
    DiscOpenResult r = openImage(s);
    // A table of contents no CD can carry would only mislead the player's arithmetic.
    if (r.disc) {
        if (const std::string why = r.disc->toc().impossibility(); !why.empty()) {
            r.disc.reset();
            return refused(source, DiscError::Invalid, why);
        }
    }
    return r;
}

} // namespace kb::cdrom
