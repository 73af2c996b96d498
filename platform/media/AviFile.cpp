#include "platform/media/AviFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <array>
#include <cstring>

#include "platform/media/Rle8.h"

namespace zo::media {
namespace {

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;

std::uint32_t U32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

std::uint16_t U16(const std::uint8_t* p) {
    return std::uint16_t(p[0] | p[1] << 8);
}

bool Is(const std::uint8_t* p, const char* fourcc) {
    return std::memcmp(p, fourcc, 4) == 0;
}

struct Span {
    std::size_t begin = 0;
    std::size_t end = 0;
};

struct VideoFormat {
    bool found = false;
    int stream = -1;
    std::uint32_t scale = 0;
    std::uint32_t rate = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0;
    std::array<std::uint32_t, 256> palette{};
};

class Parser {
public:
    Parser(const std::uint8_t* data, std::size_t size, const AviLimits& limits)
        : m_data(data), m_size(size), m_limits(limits) {}

    bool Run(Clip* clip);
    const std::string& Error() const { return m_error; }

private:
    bool Fail(const std::string& why) {
        m_error = why;
        return false;
    }
    // Calls `visit(id, span of data)` for each chunk in `span`; a LIST's span starts
    // after its type.
    template <typename Visit>
    bool Walk(Span span, Visit visit);
    bool Header(Span span);
    bool StreamList(Span span, int stream);
    bool Format(Span span, VideoFormat* v);
    bool Frames(Span movi, int depth);
    bool Frame(Span data);

    const std::uint8_t* m_data;
    std::size_t m_size;
    AviLimits m_limits;
    std::string m_error;
    std::uint32_t m_microsPerFrame = 0;
    VideoFormat m_video;
    std::vector<std::uint8_t> m_indices;
    Clip m_clip;
};

template <typename Visit>
bool Parser::Walk(Span span, Visit visit) {
    std::size_t pos = span.begin;
    while (pos + 8 <= span.end) {
        const std::uint8_t* h = m_data + pos;
        std::uint32_t len = U32(h + 4);
        if (len > span.end - pos - 8) {
            return Fail("a chunk runs past its container");
        }
        Span body{pos + 8, pos + 8 + len};
        if (!visit(h, body)) {
            return false;
        }
        pos = body.end + (len & 1);
    }
    return true;
}

bool Parser::Run(Clip* clip) {
    if (m_size < 12 || !Is(m_data, "RIFF") || !Is(m_data + 8, "AVI ")) {
        return Fail("not a RIFF AVI file");
    }
    std::size_t end = std::min<std::size_t>(m_size, std::size_t(8) + U32(m_data + 4));
    bool haveHeader = false;
    Span movi;
    bool haveMovi = false;
    bool ok = Walk({12, end}, [&](const std::uint8_t* h, Span body) {
        if (!Is(h, "LIST") || body.end - body.begin < 4) {
            return true;
        }
        const std::uint8_t* type = m_data + body.begin;
        Span inner{body.begin + 4, body.end};
        if (Is(type, "hdrl") && !haveHeader) {
            haveHeader = true;
            return Header(inner);
        }
        if (Is(type, "movi") && !haveMovi) {
            haveMovi = true;
            movi = inner;
        }
        return true;
    });
    if (!ok) {
        return false;
    }
    if (!haveHeader || !m_video.found) {
        return Fail("no video stream");
    }
    if (!haveMovi) {
        return Fail("no frames");
    }
    const VideoFormat& v = m_video;
    if (v.width <= 0 || v.width > m_limits.maxSide || v.height == 0 ||
        v.height < -m_limits.maxSide || v.height > m_limits.maxSide) {
        return Fail("unsupported picture size");
    }
    if (v.compression == kBiRle8
            ? (v.bitCount != 8 || v.height < 0)
            : (v.compression != kBiRgb || (v.bitCount != 8 && v.bitCount != 24))) {
        return Fail("unsupported frame format");
    }
    m_clip.width = v.width;
    m_clip.height = std::abs(v.height);
    if (v.bitCount == 8) {
        m_clip.colours.assign(v.palette.begin(), v.palette.end());
    }
    m_indices.assign(static_cast<std::size_t>(m_clip.width) * m_clip.height, 0);
    if (!Frames(movi, 0)) {
        return false;
    }
    if (m_clip.frames.empty()) {
        return Fail("no frames");
    }
    std::uint64_t micros = m_microsPerFrame;
    if (v.rate > 0 && v.scale > 0) {
        micros = (std::uint64_t(v.scale) * 1000000u + v.rate / 2) / v.rate;
    }
    if (micros == 0) {
        micros = 66667;
    }
    m_clip.frameMicroseconds =
        static_cast<std::uint32_t>(std::clamp<std::uint64_t>(micros, 10000u, 1000000u));
    *clip = std::move(m_clip);
    return true;
}

bool Parser::Header(Span span) {
    int stream = 0;
    return Walk(span, [&](const std::uint8_t* h, Span body) {
        if (Is(h, "avih") && body.end - body.begin >= 4) {
            m_microsPerFrame = U32(m_data + body.begin);
        } else if (Is(h, "LIST") && body.end - body.begin >= 4 && Is(m_data + body.begin, "strl")) {
            return StreamList({body.begin + 4, body.end}, stream++);
        }
        return true;
    });
}

bool Parser::StreamList(Span span, int stream) {
    if (m_video.found || stream > 99) {
        return true;
    }
    VideoFormat v;
    v.palette.fill(0xFF000000u);
    bool isVideo = false;
    bool ok = Walk(span, [&](const std::uint8_t* h, Span body) {
        std::size_t len = body.end - body.begin;
        const std::uint8_t* d = m_data + body.begin;
        if (Is(h, "strh")) {
            if (len < 36) {
                return Fail("stream header too short");
            }
            isVideo = Is(d, "vids");
            v.scale = U32(d + 20);
            v.rate = U32(d + 24);
        } else if (Is(h, "strf") && isVideo) {
            return Format(body, &v);
        }
        return true;
    });
    if (ok && isVideo) {
        if (!v.found) {
            return Fail("video stream without a format");
        }
        v.stream = stream;
        m_video = v;
    }
    return ok;
}

bool Parser::Format(Span span, VideoFormat* v) {
    std::size_t len = span.end - span.begin;
    const std::uint8_t* d = m_data + span.begin;
    if (len < 40) {
        return Fail("bitmap header too short");
    }
    std::uint32_t headerSize = U32(d);
    v->width = static_cast<std::int32_t>(U32(d + 4));
    v->height = static_cast<std::int32_t>(U32(d + 8));
    v->bitCount = U16(d + 14);
    v->compression = U32(d + 16);
    std::uint32_t colours = U32(d + 32);
    if (v->bitCount == 8) {
        if (colours == 0) {
            colours = 256;
        }
        if (colours > 256 || headerSize < 40 || headerSize > len ||
            (len - headerSize) / 4 < colours) {
            return Fail("palette missing or too large");
        }
        for (std::uint32_t i = 0; i < colours; ++i) {
            const std::uint8_t* q = d + headerSize + 4 * i;  // blue, green, red, reserved
            v->palette[i] =
                0xFF000000u | std::uint32_t(q[2]) << 16 | std::uint32_t(q[1]) << 8 | q[0];
        }
    }
    v->found = true;
    return true;
}

bool Parser::Frames(Span movi, int depth) {
    // Frames may be grouped in 'rec ' lists; deeper nesting is no AVI file.
    if (depth > 1) {
        return Fail("lists nested too deeply");
    }
    char wanted[2] = {char('0' + m_video.stream / 10), char('0' + m_video.stream % 10)};
    return Walk(movi, [&](const std::uint8_t* h, Span body) {
        if (Is(h, "LIST")) {
            if (body.end - body.begin >= 4 && Is(m_data + body.begin, "rec ")) {
                return Frames({body.begin + 4, body.end}, depth + 1);
            }
            return true;
        }
        if (h[0] == wanted[0] && h[1] == wanted[1] && h[2] == 'd' && (h[3] == 'b' || h[3] == 'c')) {
            return Frame(body);
        }
        return true;
    });
}

bool Parser::Frame(Span span) {
    const std::size_t w = static_cast<std::size_t>(m_clip.width);
    const std::size_t h = static_cast<std::size_t>(m_clip.height);
    const std::size_t count = m_clip.frames.size() + 1;
    if (count > m_limits.maxFrames) {
        return Fail("too many frames");
    }
    if (DecodedBytes(m_clip.width, m_clip.height, count) > m_limits.maxDecodedBytes) {
        return Fail("clip too large");
    }
    const std::uint8_t* d = m_data + span.begin;
    std::size_t len = span.end - span.begin;
    const std::size_t rowBytes = w * m_clip.BytesPerPixel();
    // An empty chunk repeats the frame before it.
    if (len == 0) {
        if (!m_clip.frames.empty()) {
            m_clip.frames.push_back(m_clip.frames.back());
        } else if (m_clip.Indexed()) {
            m_clip.frames.emplace_back(w * h, std::uint8_t(0));
        } else {
            std::vector<std::uint8_t> black(rowBytes * h);
            for (std::size_t i = 0; i < w * h; ++i) {
                std::memcpy(black.data() + 4 * i, &m_video.palette[0], 4);
            }
            m_clip.frames.push_back(std::move(black));
        }
        return true;
    }
    const bool bottomUp = m_video.height > 0;
    std::vector<std::uint8_t> pixels(rowBytes * h);
    auto outRow = [&](std::size_t dibRow) {
        return pixels.data() + (bottomUp ? h - 1 - dibRow : dibRow) * rowBytes;
    };
    if (m_video.compression == kBiRle8) {
        if (!DecodeRle8(d, len, m_clip.width, m_clip.height, m_indices, &m_error)) {
            m_error = "broken RLE8 frame: " + m_error;
            return false;
        }
        for (std::size_t r = 0; r < h; ++r) {
            std::memcpy(outRow(r), m_indices.data() + r * w, w);
        }
    } else {
        std::size_t bytesPerPixel = m_video.bitCount / 8;
        std::size_t stride = (w * bytesPerPixel + 3) & ~std::size_t(3);
        if (len < stride * h) {
            return Fail("frame shorter than its picture");
        }
        for (std::size_t r = 0; r < h; ++r) {
            const std::uint8_t* row = d + r * stride;
            if (bytesPerPixel == 1) {
                std::memcpy(outRow(r), row, w);
                continue;
            }
            std::uint8_t* out = outRow(r);
            for (std::size_t x = 0; x < w; ++x) {
                const std::uint8_t* p = row + 3 * x;  // blue, green, red
                const std::uint32_t argb =
                    0xFF000000u | std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
                std::memcpy(out + 4 * x, &argb, 4);
            }
        }
    }
    m_clip.frames.push_back(std::move(pixels));
    return true;
}

}  // namespace

std::uint32_t Clip::Pixel(std::size_t frame, std::size_t index) const {
    const std::vector<std::uint8_t>& pixels = frames[frame];
    if (Indexed()) {
        return colours[pixels[index]];
    }
    std::uint32_t argb = 0;
    std::memcpy(&argb, pixels.data() + 4 * index, 4);
    return argb;
}

std::size_t DecodedBytes(int width, int height, std::size_t frames) {
    const std::size_t pixels = static_cast<std::size_t>(std::max(width, 0)) *
                               static_cast<std::size_t>(std::max(height, 0));
    return frames * (pixels * 4 + kFrameOverheadBytes);
}

bool ParseAvi(const std::uint8_t* data, std::size_t size, Clip* clip, std::string* error,
              const AviLimits& limits) {
    Parser parser(data, size, limits);
    if (!parser.Run(clip)) {
        if (error) {
            *error = parser.Error();
        }
        return false;
    }
    return true;
}

bool ReadAviFile(const std::string& path, Clip* clip, std::string* error, const AviLimits& limits) {
    auto fail = [&](const std::string& why) {
        if (error) {
            *error = why;
        }
        return false;
    };
    // Non-blocking, so that a named pipe in place of the file cannot stall the program.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return fail("cannot open " + path);
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0 ||
        static_cast<std::uint64_t>(st.st_size) > limits.maxFileBytes) {
        ::close(fd);
        return fail("not a regular file of a usable size: " + path);
    }
    std::vector<std::uint8_t> data(static_cast<std::size_t>(st.st_size));
    std::size_t got = 0;
    while (got < data.size()) {
        ssize_t n = ::read(fd, data.data() + got, data.size() - got);
        if (n <= 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    data.resize(got);
    return ParseAvi(data.data(), data.size(), clip, error, limits);
}

}  // namespace zo::media
