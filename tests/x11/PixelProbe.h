#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <optional>

namespace zo::test {

// Where `picture` shows 1:1 inside `area` of `screen`, judged on a grid of sample points;
// nothing when it shows nowhere there.
std::optional<QPoint> FindPicture(const QImage& screen, const QRect& area, const QImage& picture);

// The share (0..1) of the pixels of `area` that differ between two screenshots, leaving
// out `except`.
double ChangedShare(const QImage& a, const QImage& b, const QRect& area, const QRect& except = {});

// How many pixels of `area` have the selection colour a progress bar fills with.
int FilledPixels(const QImage& screen, const QRect& area);

}  // namespace zo::test
