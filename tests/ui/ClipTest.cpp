#include <sys/stat.h>
#include <unistd.h>
#include <QtTest>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "pages/PlaceholderPage.h"
#include "platform/media/AviFile.h"
#include "platform/media/AviWriter.h"
#include "platform/ui/clip/ClipPlayer.h"
#include "platform/ui/dialogs/PropertySheet.h"
#include "res/ResourceIds.h"
#include "support/SampleClip.h"
#include "support/ScriptedPrompter.h"
#include "support/TempWorkDir.h"
#include "support/ui/QtTestMain.h"

using namespace zo;
using ui::ClipMode;

namespace {

void Put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
}

void PutId(std::vector<std::uint8_t>& b, const char* id) {
    b.insert(b.end(), id, id + 4);
}

std::vector<std::uint8_t> Chunk(const char* id, const std::vector<std::uint8_t>& body) {
    std::vector<std::uint8_t> c;
    PutId(c, id);
    Put32(c, static_cast<std::uint32_t>(body.size()));
    c.insert(c.end(), body.begin(), body.end());
    if (body.size() & 1) {
        c.push_back(0);
    }
    return c;
}

std::vector<std::uint8_t> List(const char* type, const std::vector<std::uint8_t>& inner) {
    std::vector<std::uint8_t> body;
    PutId(body, type);
    body.insert(body.end(), inner.begin(), inner.end());
    return Chunk("LIST", body);
}

// A 24-bit clip of one 3 x 2 frame, bottom row first as bitmaps store it, rows padded to
// four bytes: the writer of our own clip makes palettised files only.
std::vector<std::uint8_t> TrueColourAvi() {
    std::vector<std::uint8_t> strh;
    PutId(strh, "vids");
    strh.resize(20, 0);
    Put32(strh, 1);   // scale
    Put32(strh, 10);  // rate: 10 frames per second
    strh.resize(56, 0);
    std::vector<std::uint8_t> strf;
    Put32(strf, 40);
    Put32(strf, 3);
    Put32(strf, 2);
    strf.push_back(1), strf.push_back(0);   // planes
    strf.push_back(24), strf.push_back(0);  // bits
    strf.resize(40, 0);
    std::vector<std::uint8_t> frame = {
        0,   0,   255, 0, 255, 0, 255, 0,  0,  0, 0, 0,   // bottom: red, green, blue, padding
        255, 255, 255, 0, 0,   0, 10,  20, 30, 0, 0, 0};  // top: white, black, (30,20,10)
    std::vector<std::uint8_t> hdrl = Chunk("avih", std::vector<std::uint8_t>(56, 0));
    std::vector<std::uint8_t> strl = Chunk("strh", strh);
    std::vector<std::uint8_t> f = Chunk("strf", strf);
    strl.insert(strl.end(), f.begin(), f.end());
    std::vector<std::uint8_t> l = List("strl", strl);
    hdrl.insert(hdrl.end(), l.begin(), l.end());
    std::vector<std::uint8_t> body;
    PutId(body, "AVI ");
    std::vector<std::uint8_t> h = List("hdrl", hdrl);
    std::vector<std::uint8_t> m = List("movi", Chunk("00db", frame));
    body.insert(body.end(), h.begin(), h.end());
    body.insert(body.end(), m.begin(), m.end());
    return Chunk("RIFF", body);
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    QVERIFY(f);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

}  // namespace

class ClipTest : public QObject {
    Q_OBJECT

private slots:
    void palettisedClipsReadBackFrameByFrame() {
        for (auto compression : {media::PalettedVideo::Compression::Rle8,
                                 media::PalettedVideo::Compression::Uncompressed8}) {
            media::PalettedVideo video = test::SampleVideo(150, 152, 35, 15, compression);
            std::vector<std::uint8_t> bytes = media::BuildAvi(video);
            media::Clip clip;
            std::string error;
            QVERIFY2(media::ParseAvi(bytes.data(), bytes.size(), &clip, &error), error.c_str());
            QCOMPARE(clip.width, 150);
            QCOMPARE(clip.height, 152);
            QCOMPARE(clip.frames.size(), std::size_t(35));
            QCOMPARE(clip.frameMicroseconds, 66667u);
            for (int k : {0, 17, 34}) {
                QCOMPARE(clip.Pixel(k, 0), video.palette[k + 1] | 0xFF000000u);
                QCOMPARE(clip.Pixel(k, 150 * 152 - 1), video.palette[k + 1] | 0xFF000000u);
            }
        }
    }

    void trueColourFramesKeepTheirOrientation() {
        std::vector<std::uint8_t> bytes = TrueColourAvi();
        media::Clip clip;
        std::string error;
        QVERIFY2(media::ParseAvi(bytes.data(), bytes.size(), &clip, &error), error.c_str());
        QCOMPARE(clip.frames.size(), std::size_t(1));
        QCOMPARE(clip.frameMicroseconds, 100000u);
        QCOMPARE(clip.Pixel(0, 0), 0xFFFFFFFFu);
        QCOMPARE(clip.Pixel(0, 1), 0xFF000000u);
        QCOMPARE(clip.Pixel(0, 2), 0xFF1E140Au);
        QCOMPARE(clip.Pixel(0, 3), 0xFFFF0000u);
        QCOMPARE(clip.Pixel(0, 4), 0xFF00FF00u);
        QCOMPARE(clip.Pixel(0, 5), 0xFF0000FFu);
    }

    // The clip is untrusted: every cut and every damaged byte must end in a clean answer.
    void damagedFilesAreRefusedCleanly() {
        std::vector<std::uint8_t> good = media::BuildAvi(test::SampleVideo(8, 6, 3));
        media::Clip clip;
        std::string error;
        for (std::size_t n = 0; n < good.size(); ++n) {
            media::ParseAvi(good.data(), n, &clip, &error);
        }
        std::mt19937 rng(7);
        for (int round = 0; round < 3000; ++round) {
            std::vector<std::uint8_t> bad = good;
            for (int k = 0; k < 4; ++k) {
                bad[rng() % bad.size()] = static_cast<std::uint8_t>(rng());
            }
            media::ParseAvi(bad.data(), bad.size(), &clip, &error);
        }

        auto refused = [&](std::vector<std::uint8_t> bytes, const char* reason) {
            media::Clip none;
            std::string why;
            QVERIFY2(!media::ParseAvi(bytes.data(), bytes.size(), &none, &why), reason);
            QVERIFY2(!why.empty(), reason);
            QVERIFY(none.frames.empty());
        };
        refused({}, "empty");
        refused({'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'}, "not AVI");
        std::vector<std::uint8_t> huge = media::BuildAvi(test::SampleVideo(8, 6, 1));
        // The bitmap header's width sits 4 bytes into "strf"'s body.
        for (std::size_t i = 0; i + 4 < huge.size(); ++i) {
            if (std::memcmp(&huge[i], "strf", 4) == 0) {
                huge[i + 12] = 0xFF, huge[i + 13] = 0xFF, huge[i + 14] = 0xFF, huge[i + 15] = 0x7F;
                break;
            }
        }
        refused(huge, "huge width");
        media::AviLimits tight;
        tight.maxDecodedBytes = media::DecodedBytes(8, 6, 2);
        std::vector<std::uint8_t> three = media::BuildAvi(test::SampleVideo(8, 6, 3));
        QVERIFY(!media::ParseAvi(three.data(), three.size(), &clip, &error, tight));
        tight.maxDecodedBytes = media::DecodedBytes(8, 6, 3);
        QVERIFY(media::ParseAvi(three.data(), three.size(), &clip, &error, tight));
    }

    // Countless tiny frames cost memory of their own: the frame count is bounded, and each
    // frame counts more than its pixels.
    void framesAndMemoryAreBounded() {
        media::Clip clip;
        std::string error;
        std::vector<std::uint8_t> many = media::BuildAvi(
            test::SampleVideo(1, 1, 5000, 15, media::PalettedVideo::Compression::Uncompressed8));
        QVERIFY(!media::ParseAvi(many.data(), many.size(), &clip, &error));
        QCOMPARE(error, std::string("too many frames"));
        media::AviLimits limits;
        limits.maxDecodedBytes = 4000 * media::kFrameOverheadBytes;
        QVERIFY(!media::ParseAvi(many.data(), many.size(), &clip, &error, limits));
        QCOMPARE(error, std::string("clip too large"));
        // The largest clip the default limits allow stays within a few tens of megabytes.
        media::AviLimits defaults;
        QVERIFY(defaults.maxFileBytes + defaults.maxDecodedBytes <= 48u << 20);
        QVERIFY(media::DecodedBytes(1, 1, defaults.maxFrames) <= defaults.maxDecodedBytes);
        // A file over the size limit is not even read.
        test::TempWorkDir dir;
        {
            std::vector<std::uint8_t> good = media::BuildAvi(test::SampleVideo(8, 6, 2));
            WriteFile(dir.File("big.avi"), good);
            QCOMPARE(::truncate(dir.File("big.avi").c_str(),
                                static_cast<off_t>(defaults.maxFileBytes) + 1),
                     0);
        }
        QVERIFY(!media::ReadAviFile(dir.File("big.avi"), &clip, &error));
    }

    // Every page of every sheet shows the one decoded clip; a changed file is read anew.
    void pagesShareOneDecodedClip() {
        test::TempWorkDir dir;
        test::WriteGlobe(5);
        std::shared_ptr<const media::Clip> shown;
        for (int run = 0; run < 2; ++run) {
            ui::PropertySheet sheet("Clips");
            sheet.SetWizardMode();
            pages::PlaceholderPage first(res::IDD_LOCATION), second(res::IDD_SWITCH);
            sheet.AddPage(&first);
            sheet.AddPage(&second);
            QVERIFY(sheet.Create());
            sheet.PressButton(ui::PropertySheet::Button::Next);
            QVERIFY(first.m_mciWnd.Player()->SharedClip());
            QCOMPARE(first.m_mciWnd.Player()->SharedClip(), second.m_mciWnd.Player()->SharedClip());
            if (shown) {
                QCOMPARE(first.m_mciWnd.Player()->SharedClip(), shown);
            }
            shown = first.m_mciWnd.Player()->SharedClip();
        }
        QCOMPARE(shown->frames.size(), std::size_t(5));
        std::filesystem::remove("globe.avi");
        test::WriteGlobe(7);
        ui::ClipPlayer player;
        QVERIFY(player.Open("globe.avi"));
        QCOMPARE(player.Length(), 7L);
        QVERIFY(player.SharedClip() != shown);
    }

    void filesThatAreNotClipsAreRefused() {
        test::TempWorkDir dir;
        media::Clip clip;
        std::string error;
        QVERIFY(!media::ReadAviFile(dir.File("absent.avi"), &clip, &error));
        QVERIFY(!media::ReadAviFile(dir.Path(), &clip, &error));
        // A pipe in place of the clip must not stall the program waiting for a writer.
        QCOMPARE(::mkfifo(dir.File("pipe.avi").c_str(), 0600), 0);
        QVERIFY(!media::ReadAviFile(dir.File("pipe.avi"), &clip, &error));
        WriteFile(dir.File("tc.avi"), TrueColourAvi());
        QVERIFY(media::ReadAviFile(dir.File("tc.avi"), &clip, &error));
    }

    void playerRunsOnceThroughAndReportsItsModes() {
        test::TempWorkDir dir;
        test::WriteGlobe(4);
        ui::ClipPlayer player;
        std::vector<ClipMode> modes;
        player.SetModeNotify([&](ui::ClipPlayer* w, ClipMode m) {
            QCOMPARE(w, &player);
            modes.push_back(m);
        });
        QVERIFY(player.Open("globe.avi"));
        QVERIFY(player.DeviceId() != 0);
        QCOMPARE(player.Length(), 4L);
        player.Play();
        QCOMPARE(player.Mode(), ClipMode::Playing);
        for (int i = 0; i < 3; ++i) {
            player.Step();
        }
        QCOMPARE(player.Position(), 3L);
        QCOMPARE(player.Mode(), ClipMode::Playing);
        player.Step();
        QCOMPARE(player.Mode(), ClipMode::Stopped);
        QCOMPARE(modes.back(), ClipMode::Stopped);
        player.PlayFrom(99);
        QCOMPARE(player.Position(), 3L);
        player.Close();
        QCOMPARE(player.DeviceId(), 0u);
        QVERIFY(!player.Open("missing.avi"));
        QVERIFY(!player.IsOpen());
        player.Play();
        player.Step();
    }

    // The clip's square takes the window's background, so a dark palette shows no light
    // square around the globe; the picture itself is drawn as it is.
    void theClipsBackgroundIsTheWindows() {
        test::TempWorkDir dir;
        media::PalettedVideo video;
        video.width = 12;
        video.height = 10;
        video.compression = media::PalettedVideo::Compression::Uncompressed8;
        video.palette[0] = 0xEFEFEF;
        video.palette[1] = 0x1E5AC8;
        std::vector<std::uint8_t> frame(12 * 10, 0);
        for (int y = 3; y < 7; ++y) {
            for (int x = 4; x < 8; ++x) {
                frame[static_cast<std::size_t>(y) * 12 + x] = 1;
            }
        }
        video.frames = {frame, frame};
        std::string error;
        QVERIFY2(media::WriteAviFile("dark.avi", video, &error), error.c_str());

        for (QColor window : {QColor(0x20, 0x22, 0x26), QColor(0xEF, 0xEF, 0xEF)}) {
            QWidget page;
            QPalette palette = page.palette();
            palette.setColor(QPalette::Window, window);
            page.setPalette(palette);
            page.setAutoFillBackground(true);
            page.resize(30, 30);
            ui::ClipPlayer player(&page);
            player.setGeometry(9, 10, 12, 10);
            QVERIFY(player.Open("dark.avi"));
            const QImage shot = page.grab().toImage().convertToFormat(QImage::Format_RGB32);
            QCOMPARE(QColor(shot.pixel(9, 10)), window);
            QCOMPARE(QColor(shot.pixel(20, 19)), window);
            QCOMPARE(QColor(shot.pixel(15, 15)), QColor(0x1E, 0x5A, 0xC8));
            // What the clip holds is unchanged.
            QCOMPARE(QColor(player.CurrentFrame().pixel(0, 0)), QColor(0xEF, 0xEF, 0xEF));
        }
    }

    // Every frame is shown in the colours it holds, pixel for pixel, whether the clip keeps
    // palette indices or true colour; only the clip's background gives way to the window.
    void framesPaintTheColoursTheyHold() {
        test::TempWorkDir dir;
        const QColor window(0x20, 0x22, 0x26);
        auto shots = [&](const char* file, int frames) {
            QWidget page;
            QPalette palette = page.palette();
            palette.setColor(QPalette::Window, window);
            page.setPalette(palette);
            page.setAutoFillBackground(true);
            ui::ClipPlayer player(&page);
            [&] { QVERIFY(player.Open(file)); }();
            page.resize(player.ClipSize());
            player.setGeometry(QRect(QPoint(), player.ClipSize()));
            std::vector<QImage> out;
            for (int k = 0; k < frames; ++k) {
                player.Seek(k);
                out.push_back(page.grab().toImage().convertToFormat(QImage::Format_RGB32));
            }
            return out;
        };
        for (auto compression : {media::PalettedVideo::Compression::Rle8,
                                 media::PalettedVideo::Compression::Uncompressed8}) {
            media::PalettedVideo video = test::SampleVideo(9, 7, 3, 15, compression);
            video.palette[0] = 0xEFEFEF;
            for (std::size_t k = 0; k < video.frames.size(); ++k) {
                for (std::size_t i = 0; i < video.frames[k].size(); ++i) {
                    video.frames[k][i] = static_cast<std::uint8_t>((i * 7 + k * 3) % 5);
                }
            }
            std::string error;
            QVERIFY2(media::WriteAviFile("many.avi", video, &error), error.c_str());
            const std::vector<QImage> shown = shots("many.avi", 3);
            QCOMPARE(shown.size(), std::size_t(3));
            for (std::size_t k = 0; k < shown.size(); ++k) {
                for (int y = 0; y < 7; ++y) {
                    for (int x = 0; x < 9; ++x) {
                        const std::uint8_t index = video.frames[k][std::size_t(y * 9 + x)];
                        const QColor want = index == 0 ? window : QColor(video.palette[index]);
                        QCOMPARE(QColor(shown[k].pixel(x, y)), want);
                    }
                }
            }
        }
        WriteFile("true.avi", TrueColourAvi());
        const std::vector<QImage> shown = shots("true.avi", 1);
        QCOMPARE(shown.size(), std::size_t(1));
        const QColor want[2][3] = {{window, QColor(0, 0, 0), QColor(30, 20, 10)},
                                   {QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255)}};
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 3; ++x) {
                QCOMPARE(QColor(shown[0].pixel(x, y)), want[y][x]);
            }
        }
    }

    // Only the active page keeps its clip going; a page left behind plays to the end and
    // stays there.
    void onlyTheActivePageLoopsItsClip() {
        test::TempWorkDir dir;
        test::WriteGlobe(3);
        test::ScriptedPrompter prompter;
        ui::PropertySheet sheet("Clips");
        sheet.SetWizardMode();
        pages::PlaceholderPage first(res::IDD_LOCATION), second(res::IDD_SWITCH);
        sheet.AddPage(&first);
        sheet.AddPage(&second);
        QVERIFY(sheet.Create());
        ui::ClipPlayer* a = first.m_mciWnd.Player();
        QVERIFY(a);
        QCOMPARE(a->Mode(), ClipMode::Playing);
        for (int i = 0; i < 3; ++i) {
            a->Step();
        }
        QCOMPARE(a->Mode(), ClipMode::Playing);
        QCOMPARE(a->Position(), 0L);

        a->Step();
        sheet.PressButton(ui::PropertySheet::Button::Next);
        ui::ClipPlayer* b = second.m_mciWnd.Player();
        QVERIFY(b);
        QCOMPARE(b->Mode(), ClipMode::Playing);
        QCOMPARE(b->Position(), 0L);
        a->Step();
        a->Step();
        QCOMPARE(a->Mode(), ClipMode::Stopped);
        QCOMPARE(a->Position(), 2L);

        // A notification naming another window is not this page's business.
        b->Step();
        second.OnNotifyMode(a, static_cast<int>(ClipMode::Stopped));
        QCOMPARE(b->Position(), 1L);

        sheet.PressButton(ui::PropertySheet::Button::Back);
        QCOMPARE(a->Mode(), ClipMode::Playing);
        QCOMPARE(a->Position(), 0L);

        QPointer<ui::ClipPlayer> pa(a), pb(b);
        sheet.DestroyWindow();
        QVERIFY(pa.isNull() || pa->DeviceId() == 0);
        QVERIFY(pb.isNull() || pb->DeviceId() == 0);
        QVERIFY(prompter.texts.empty());
    }

    void pagesWorkWithoutTheClipAndSayNothing() {
        test::TempWorkDir dir;
        std::vector<std::uint8_t> junk(5000, 0x41);
        WriteFile(dir.File("globe.avi"), junk);
        test::ScriptedPrompter prompter;
        ui::PropertySheet sheet("No clip");
        sheet.SetWizardMode();
        pages::PlaceholderPage first(res::IDD_LOCATION), second(res::IDD_SWITCH);
        sheet.AddPage(&first);
        sheet.AddPage(&second);
        QVERIFY(sheet.Create());
        sheet.PressButton(ui::PropertySheet::Button::Next);
        QCOMPARE(sheet.GetActiveIndex(), 1);
        QVERIFY(!first.m_mciWnd.Player() || !first.m_mciWnd.Player()->IsOpen());
        QCOMPARE(first.m_mciWnd.GetDeviceId(), 0u);
        sheet.DestroyWindow();
        QVERIFY(prompter.texts.empty());
    }
};

ZO_QTEST(ClipTest)
#include "ClipTest.moc"
