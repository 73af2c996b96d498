#pragma once

#include <QString>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/help/HelpSystem.h"
#include "platform/media/AviWriter.h"
#include "platform/prompt/Prompter.h"

namespace zo::test {

// Answers message boxes from a script and records every text shown. A question the
// script did not expect is recorded in `unexpected` and answered Ok, Cancel or No.
class ScriptedPrompter : public platform::Prompter {
public:
    ScriptedPrompter();
    ~ScriptedPrompter() override;

    platform::Answer Ask(const std::string& text, platform::Buttons buttons, platform::Icon icon,
                         const std::string& detail) override;
    void BeginWaitCursor() override { ++waitDepth; }
    void EndWaitCursor() override { --waitDepth; }

    std::vector<std::string> texts;
    // The system's reason given with each text, empty where none was.
    std::vector<std::string> details;
    std::deque<platform::Answer> answers;
    // Runs at each question before it is answered (a tick arriving while the box is open).
    std::function<void(const std::string&)> onAsk;
    std::vector<std::string> unexpected;
    int waitDepth = 0;
};

// Records the help requests instead of opening a window.
class RecordingHelp : public help::HelpSystem {
public:
    RecordingHelp();
    ~RecordingHelp() override;

    void ShowContext(QWidget* owner, const std::string& file, unsigned long context) override;
    void Quit(const std::string& file) override;

    std::vector<std::pair<std::string, unsigned long>> shown;
    std::vector<std::string> quits;
};

// A fresh temporary directory made the current one for the object's lifetime.
class TempWorkDir {
public:
    TempWorkDir();
    ~TempWorkDir();
    TempWorkDir(const TempWorkDir&) = delete;
    TempWorkDir& operator=(const TempWorkDir&) = delete;

    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
    std::string m_previous;
};

// A small palettised clip: `frames` frames of `w` x `h` pixels, frame k filled with
// palette index k + 1 (the palette shades a grey ramp), playing at `fps`.
media::PalettedVideo SampleVideo(
    int w, int h, int frames, int fps = 15,
    media::PalettedVideo::Compression c = media::PalettedVideo::Compression::Rle8);

// Writes a clip as "globe.avi" in the current directory.
void WriteGlobe(int frames);

}  // namespace zo::test
