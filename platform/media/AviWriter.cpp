#include "platform/media/AviWriter.h"

#include <cstring>
#include <fstream>

#include "platform/media/Rle8.h"

namespace zo::media {
namespace {

class Riff {
public:
    void FourCC(const char* id) { m_out.insert(m_out.end(), id, id + 4); }
    void U32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            m_out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
        }
    }
    void U16(std::uint16_t v) {
        m_out.push_back(static_cast<std::uint8_t>(v));
        m_out.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    void Bytes(const std::vector<std::uint8_t>& b) {
        m_out.insert(m_out.end(), b.begin(), b.end());
    }

    // Opens a chunk (or a LIST with its type); returns where its size goes.
    std::size_t Open(const char* id, const char* listType = nullptr) {
        FourCC(id);
        std::size_t at = m_out.size();
        U32(0);
        if (listType) {
            FourCC(listType);
        }
        return at;
    }
    void Close(std::size_t at) {
        auto size = static_cast<std::uint32_t>(m_out.size() - at - 4);
        for (int i = 0; i < 4; ++i) {
            m_out[at + i] = static_cast<std::uint8_t>(size >> (8 * i));
        }
        if (size & 1) {
            m_out.push_back(0);
        }
    }
    std::size_t Size() const { return m_out.size(); }
    std::vector<std::uint8_t> Take() { return std::move(m_out); }

private:
    std::vector<std::uint8_t> m_out;
};

// Rows bottom first, each padded to four bytes.
std::vector<std::uint8_t> Dib8(const std::vector<std::uint8_t>& topDown, int w, int h) {
    std::size_t stride = (static_cast<std::size_t>(w) + 3) & ~std::size_t(3);
    std::vector<std::uint8_t> out(stride * h, 0);
    for (int y = 0; y < h; ++y) {
        std::memcpy(out.data() + (h - 1 - y) * stride, topDown.data() + std::size_t(y) * w, w);
    }
    return out;
}

std::vector<std::uint8_t> BottomUp(const std::vector<std::uint8_t>& topDown, int w, int h) {
    std::vector<std::uint8_t> out(topDown.size());
    for (int y = 0; y < h; ++y) {
        std::memcpy(out.data() + std::size_t(h - 1 - y) * w, topDown.data() + std::size_t(y) * w,
                    w);
    }
    return out;
}

}  // namespace

std::vector<std::uint8_t> BuildAvi(const PalettedVideo& v) {
    const bool rle = v.compression == PalettedVideo::Compression::Rle8;
    const std::uint32_t frames = static_cast<std::uint32_t>(v.frames.size());
    const std::uint32_t fps = v.framesPerSecond > 0 ? v.framesPerSecond : 15;
    std::vector<std::vector<std::uint8_t>> encoded;
    std::size_t largest = 0;
    for (const auto& f : v.frames) {
        encoded.push_back(rle ? EncodeRle8(BottomUp(f, v.width, v.height), v.width, v.height)
                              : Dib8(f, v.width, v.height));
        largest = std::max(largest, encoded.back().size());
    }

    Riff r;
    std::size_t riff = r.Open("RIFF", "AVI ");
    std::size_t hdrl = r.Open("LIST", "hdrl");
    std::size_t avih = r.Open("avih");
    r.U32(1000000 / fps);
    r.U32(static_cast<std::uint32_t>(largest * fps));
    r.U32(0);
    r.U32(0x10);  // has an index
    r.U32(frames);
    r.U32(0);
    r.U32(1);
    r.U32(static_cast<std::uint32_t>(largest));
    r.U32(static_cast<std::uint32_t>(v.width));
    r.U32(static_cast<std::uint32_t>(v.height));
    for (int i = 0; i < 4; ++i) {
        r.U32(0);
    }
    r.Close(avih);
    std::size_t strl = r.Open("LIST", "strl");
    std::size_t strh = r.Open("strh");
    r.FourCC("vids");
    r.FourCC(rle ? "mrle" : "DIB ");
    r.U32(0);
    r.U16(0);
    r.U16(0);
    r.U32(0);
    r.U32(1);    // scale
    r.U32(fps);  // rate
    r.U32(0);
    r.U32(frames);
    r.U32(static_cast<std::uint32_t>(largest));
    r.U32(0xFFFFFFFFu);
    r.U32(0);
    r.U16(0);
    r.U16(0);
    r.U16(static_cast<std::uint16_t>(v.width));
    r.U16(static_cast<std::uint16_t>(v.height));
    r.Close(strh);
    std::size_t strf = r.Open("strf");
    r.U32(40);
    r.U32(static_cast<std::uint32_t>(v.width));
    r.U32(static_cast<std::uint32_t>(v.height));
    r.U16(1);
    r.U16(8);
    r.U32(rle ? 1 : 0);
    r.U32(static_cast<std::uint32_t>(((v.width + 3) & ~3) * v.height));
    r.U32(0);
    r.U32(0);
    r.U32(256);
    r.U32(0);
    for (std::uint32_t c : v.palette) {
        r.U32(c & 0x00FFFFFFu);  // blue, green, red, reserved in file order
    }
    r.Close(strf);
    r.Close(strl);
    r.Close(hdrl);

    std::size_t movi = r.Open("LIST", "movi");
    std::size_t moviData = movi + 8;  // offsets in the index count from the 'movi' type
    std::vector<std::pair<std::uint32_t, std::uint32_t>> index;
    for (const auto& e : encoded) {
        index.emplace_back(static_cast<std::uint32_t>(r.Size() - moviData),
                           static_cast<std::uint32_t>(e.size()));
        std::size_t chunk = r.Open(rle ? "00dc" : "00db");
        r.Bytes(e);
        r.Close(chunk);
    }
    r.Close(movi);
    std::size_t idx1 = r.Open("idx1");
    for (auto [offset, size] : index) {
        r.FourCC(rle ? "00dc" : "00db");
        r.U32(0x10);  // key frame
        r.U32(offset);
        r.U32(size);
    }
    r.Close(idx1);
    r.Close(riff);
    return r.Take();
}

bool WriteAviFile(const std::string& path, const PalettedVideo& video, std::string* error) {
    std::vector<std::uint8_t> bytes = BuildAvi(video);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out || !out.write(reinterpret_cast<const char*>(bytes.data()),
                           static_cast<std::streamsize>(bytes.size()))) {
        if (error) {
            *error = "cannot write " + path;
        }
        return false;
    }
    return true;
}

}  // namespace zo::media
