#pragma once

#include <string>

namespace kb::cdrom {

// What tells one version of an image file from another under the same name: its inode,
// size and modification time. Rewriting the image in place (a new disc under the old
// name) changes it. "" when the file does not exist.
std::string imageStamp(const std::string& path);

} // namespace kb::cdrom
