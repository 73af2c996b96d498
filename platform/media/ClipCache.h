#pragma once

#include <memory>
#include <string>

#include "platform/media/AviFile.h"

namespace zo::media {

// The clip of a file, decoded once and shared by every window that shows it. The file is
// read again only when it is another file or has changed since (its identity, size and
// modification time); a file that could not be read is not tried again until it changes.
// Null with a reason when the file gives no clip.
std::shared_ptr<const Clip> LoadSharedClip(const std::string& path, std::string* error);

}  // namespace zo::media
