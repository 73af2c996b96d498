#include "tools/globe/GlobeRenderer.h"

#include <algorithm>
#include <cmath>

namespace zo::tools {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Palette layout: the background, then bands of shades lit from dark to bright.
constexpr int kBackground = 0;
constexpr int kShades = 16;
constexpr int kOcean = 1;
constexpr int kLand = kOcean + kShades;
constexpr int kGrid = kLand + kShades;
constexpr int kRim = kGrid + kShades;

std::uint32_t Rgb(double r, double g, double b) {
    auto c = [](double v) { return static_cast<std::uint32_t>(std::clamp(v, 0.0, 255.0)); };
    return c(r) << 16 | c(g) << 8 | c(b);
}

// Continents of our own: a few overlapping waves over latitude and longitude.
bool IsLand(double lat, double lon) {
    double f = std::sin(3 * lon + 1.3) * std::cos(2 * lat) +
               0.6 * std::sin(5 * lon - 2 * lat + 0.7) + 0.45 * std::cos(7 * lat + 2 * lon) +
               0.3 * std::sin(11 * lon + 3 * lat);
    // No land at the poles' caps: they are ice-white ocean shades instead.
    return f > 0.55 && std::fabs(lat) < 1.25;
}

bool OnGrid(double lat, double lon) {
    const double step = kPi / 6;  // every 30 degrees
    const double width = 0.014;
    double a = std::fmod(lon + 8 * kPi, step);
    double b = std::fmod(lat + 8 * kPi, step);
    return a < width || step - a < width || b < width || step - b < width;
}

}  // namespace

media::PalettedVideo RenderGlobe(const GlobeShape& shape) {
    media::PalettedVideo v;
    v.width = shape.width;
    v.height = shape.height;
    v.framesPerSecond = shape.framesPerSecond;
    v.compression = media::PalettedVideo::Compression::Rle8;
    v.palette.fill(0);
    v.palette[kBackground] = Rgb(239, 239, 239);
    for (int i = 0; i < kShades; ++i) {
        double t = 0.18 + 0.82 * i / (kShades - 1);
        v.palette[kOcean + i] = Rgb(20 * t, 90 * t + 10, 200 * t + 30);
        v.palette[kLand + i] = Rgb(70 * t + 10, 160 * t + 15, 60 * t + 5);
        v.palette[kGrid + i] = Rgb(120 * t + 50, 160 * t + 50, 210 * t + 35);
    }
    v.palette[kRim] = Rgb(12, 30, 80);

    const double cx = shape.width / 2.0;
    const double cy = shape.height / 2.0;
    const double radius = std::min(shape.width, shape.height) / 2.0 - 5;
    const double tilt = 23.4 * kPi / 180;
    // The light comes from the upper left and from the front.
    const double lx = -0.45;
    const double ly = 0.55;
    const double lz = 0.70;
    const double ll = std::sqrt(lx * lx + ly * ly + lz * lz);

    for (int f = 0; f < shape.frames; ++f) {
        double spin = 2 * kPi * f / shape.frames;
        std::vector<std::uint8_t> frame(static_cast<std::size_t>(shape.width) * shape.height,
                                        kBackground);
        for (int y = 0; y < shape.height; ++y) {
            for (int x = 0; x < shape.width; ++x) {
                double nx = (x + 0.5 - cx) / radius;
                double ny = (cy - y - 0.5) / radius;
                double r2 = nx * nx + ny * ny;
                if (r2 > 1.0) {
                    continue;
                }
                std::uint8_t& px = frame[static_cast<std::size_t>(y) * shape.width + x];
                if (r2 > 0.972) {
                    px = kRim;
                    continue;
                }
                double nz = std::sqrt(1.0 - r2);
                // Undo the axial tilt (about the viewing x axis), then read the map.
                double ay = ny * std::cos(tilt) - nz * std::sin(tilt);
                double az = ny * std::sin(tilt) + nz * std::cos(tilt);
                double lat = std::asin(std::clamp(ay, -1.0, 1.0));
                double lon = std::atan2(nx, az) + spin;
                double light = (nx * lx + ny * ly + nz * lz) / ll;
                int shade =
                    static_cast<int>(std::clamp(0.25 + 0.75 * light, 0.0, 1.0) * (kShades - 1));
                int band = OnGrid(lat, lon) ? kGrid : (IsLand(lat, lon) ? kLand : kOcean);
                px = static_cast<std::uint8_t>(band + shade);
            }
        }
        v.frames.push_back(std::move(frame));
    }
    return v;
}

}  // namespace zo::tools
