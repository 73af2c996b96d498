#include "platform/media/Rle8.h"

#include <algorithm>

namespace zo::media {
namespace {

bool Fail(std::string* error, const char* why) {
    if (error) {
        *error = why;
    }
    return false;
}

}  // namespace

bool DecodeRle8(const std::uint8_t* data, std::size_t size, int width, int height,
                std::vector<std::uint8_t>& indices, std::string* error) {
    if (width <= 0 || height <= 0 ||
        indices.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
        return Fail(error, "bad picture size");
    }
    std::size_t i = 0;
    long x = 0;
    long y = 0;
    while (i + 1 < size) {
        std::uint8_t count = data[i];
        std::uint8_t value = data[i + 1];
        i += 2;
        if (count > 0) {
            if (y >= height || x + count > width) {
                return Fail(error, "run outside the picture");
            }
            std::fill_n(indices.begin() + y * width + x, count, value);
            x += count;
            continue;
        }
        switch (value) {
            case 0:  // end of line
                x = 0;
                ++y;
                if (y > height) {
                    return Fail(error, "line past the top of the picture");
                }
                break;
            case 1:  // end of bitmap
                return true;
            case 2: {  // move right and up
                if (i + 2 > size) {
                    return Fail(error, "move cut short");
                }
                x += data[i];
                y += data[i + 1];
                i += 2;
                if (x > width || y > height) {
                    return Fail(error, "move outside the picture");
                }
                break;
            }
            default: {  // literal pixels, padded to a 16-bit boundary
                std::size_t n = value;
                if (i + n > size) {
                    return Fail(error, "literal cut short");
                }
                if (y >= height || x + static_cast<long>(n) > width) {
                    return Fail(error, "literal outside the picture");
                }
                std::copy_n(data + i, n, indices.begin() + y * width + x);
                x += static_cast<long>(n);
                i += n + (n & 1);
                break;
            }
        }
    }
    return true;
}

std::vector<std::uint8_t> EncodeRle8(const std::vector<std::uint8_t>& indices, int width,
                                     int height) {
    std::vector<std::uint8_t> out;
    auto runAt = [&](const std::uint8_t* row, int x) {
        int r = 1;
        while (x + r < width && r < 255 && row[x + r] == row[x]) {
            ++r;
        }
        return r;
    };
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = indices.data() + static_cast<std::size_t>(y) * width;
        int x = 0;
        while (x < width) {
            int run = runAt(row, x);
            if (run >= 3) {
                out.push_back(static_cast<std::uint8_t>(run));
                out.push_back(row[x]);
                x += run;
                continue;
            }
            int start = x;
            while (x < width && x - start < 255) {
                int r = runAt(row, x);
                if (r >= 3) {
                    break;
                }
                x += std::min(r, 255 - (x - start));
            }
            int n = x - start;
            if (n >= 3) {
                out.push_back(0);
                out.push_back(static_cast<std::uint8_t>(n));
                out.insert(out.end(), row + start, row + x);
                if (n & 1) {
                    out.push_back(0);
                }
            } else {
                for (int k = start; k < x; ++k) {
                    out.push_back(1);
                    out.push_back(row[k]);
                }
            }
        }
        out.push_back(0);
        out.push_back(y + 1 == height ? 1 : 0);
    }
    if (height == 0) {
        out.push_back(0);
        out.push_back(1);
    }
    return out;
}

}  // namespace zo::media
