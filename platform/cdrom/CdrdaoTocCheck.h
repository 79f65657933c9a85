#pragma once

#include <QByteArray>

#include <string>

namespace kb::cdrom {

// Largest cdrdao table-of-contents file handed to libcdio.
constexpr qsizetype kMaxCdrdaoTocBytes = 256 * 1024;

// Whether a cdrdao .toc file may be handed to libcdio's parser: a text file of sane size
// with short lines and balanced quotes. False, with the reason, for anything else.
bool checkCdrdaoToc(const QByteArray& text, std::string& why);

} // namespace kb::cdrom
