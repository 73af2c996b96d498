#pragma once

namespace zo::ui {

class PropertySheet;

// Runs a sheet modally and returns its result. The application runs every sheet through
// one, so a sheet opened from a page (the new-profile wizard) runs as the first ones did
// and tests can answer it without a modal loop.
class SheetRunner {
public:
    virtual ~SheetRunner() = default;
    virtual int RunSheet(PropertySheet& sheet) = 0;
};

}  // namespace zo::ui
