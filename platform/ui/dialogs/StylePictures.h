#pragma once

namespace zo::ui {

// Reads the pictures Qt's Fusion style draws group boxes with into the pixmap cache,
// where the style looks for them first, as the PNG files they are. Loaded by the style
// itself, each would have Qt load every image-format plugin (and JPEG's library) to
// guess a format it names already: milliseconds and memory at every start. With another
// Qt that keys its cache otherwise, the style loads them as before. User-interface
// thread, once the application exists.
void PreloadStylePictures();

}  // namespace zo::ui
