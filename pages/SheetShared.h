#pragma once

#include <QIcon>
#include <QPoint>
#include <QSize>
#include <string>

class QPainter;
class QWidget;

// No process-wide seam and no message; user-interface thread.

namespace zo::pages {

// The help file both sheets open: "ksfxzo.hlp" in the current directory, else in the
// installed data folder or the build tree (see files::DataFolders); always a full path.
std::string ProductHelpPath();

// The size of the icon a minimised window shows.
inline constexpr int kSystemIconSize = 32;

// Where the icon goes in a minimised window's client area: centred, halves rounded up.
QPoint IconOrigin(QSize client, QSize icon);

// The picture of a minimised sheet: the background erased, the icon in the middle.
void PaintIconic(QWidget* window, QPainter& painter, const QIcon& icon);

}  // namespace zo::pages
