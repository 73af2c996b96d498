#include "UiTestSupport.h"

#include <unistd.h>

#include <filesystem>
#include <stdexcept>

namespace zo::test {

ScriptedPrompter::ScriptedPrompter() {
    platform::SetPrompter(this);
}

ScriptedPrompter::~ScriptedPrompter() {
    platform::SetPrompter(nullptr);
}

platform::Answer ScriptedPrompter::Ask(const std::string& text, platform::Buttons buttons,
                                       platform::Icon /*icon*/, const std::string& detail) {
    texts.push_back(text);
    details.push_back(detail);
    if (onAsk) {
        onAsk(text);
    }
    if (!answers.empty()) {
        platform::Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    if (buttons != platform::Buttons::Ok) {
        unexpected.push_back(text);
    }
    switch (buttons) {
        case platform::Buttons::Ok:
            return platform::Answer::Ok;
        case platform::Buttons::YesNo:
            return platform::Answer::No;
        default:
            return platform::Answer::Cancel;
    }
}

RecordingHelp::RecordingHelp() {
    help::SetHelp(this);
}

RecordingHelp::~RecordingHelp() {
    help::SetHelp(nullptr);
}

void RecordingHelp::ShowContext(QWidget* /*owner*/, const std::string& file,
                                unsigned long context) {
    shown.emplace_back(file, context);
}

void RecordingHelp::Quit(const std::string& file) {
    quits.push_back(file);
}

TempWorkDir::TempWorkDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "zo-ui-XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) {
        throw std::runtime_error("mkdtemp failed");
    }
    m_path = tmpl;
    m_previous = std::filesystem::current_path().string();
    std::filesystem::current_path(m_path);
}

TempWorkDir::~TempWorkDir() {
    std::error_code ec;
    std::filesystem::current_path(m_previous, ec);
    std::filesystem::remove_all(m_path, ec);
}

media::PalettedVideo SampleVideo(int w, int h, int frames, int fps,
                                 media::PalettedVideo::Compression c) {
    media::PalettedVideo v;
    v.width = w;
    v.height = h;
    v.framesPerSecond = fps;
    v.compression = c;
    for (int i = 0; i < 256; ++i) {
        v.palette[static_cast<std::size_t>(i)] =
            static_cast<std::uint32_t>(i) << 16 | static_cast<std::uint32_t>(255 - i) << 8 | 7u;
    }
    for (int k = 0; k < frames; ++k) {
        v.frames.emplace_back(static_cast<std::size_t>(w) * h, static_cast<std::uint8_t>(k + 1));
    }
    return v;
}

void WriteGlobe(int frames) {
    std::string error;
    if (!media::WriteAviFile("globe.avi", SampleVideo(12, 10, frames), &error)) {
        throw std::runtime_error(error);
    }
}

}  // namespace zo::test
