#pragma once

namespace zo::link {

// The progress window that card programming advances stage by stage. Its bar runs from
// 0 to 100 in steps of 10 and starts again from the beginning after a step past the end.
class ProgressWindow {
public:
    virtual ~ProgressWindow() = default;
    virtual void StepIt() = 0;
};

// A progress window that shows nothing, for callers without a display.
class NoProgressWindow : public ProgressWindow {
public:
    void StepIt() override {}
};

}  // namespace zo::link
