#pragma once

#include <QFont>

namespace zo::ui {

// A font whose glyphs all have the same advance, for text laid out in columns. The
// desktop's fixed font comes first; when fontconfig resolves it to a face that is not
// fixed pitch (some "monospace" aliases do), the first installed family that is takes
// its place at the same size. Only a system with no fixed-pitch family at all gets the
// desktop's choice back unchanged.
QFont FixedPitchFont();

}  // namespace zo::ui
