#pragma once

namespace zo::link {

// The three answers of the Missing Card question, with the dialog's result values.
enum class MissingCardAnswer : int {
    Continue = 100,    // save the profile without the card
    SelectPort = 101,  // go back and choose the port by hand
    Cancel = 2,        // do nothing
};

// Asked at the wizard's Finish when the configured port cannot be opened.
class MissingCardQuestion {
public:
    virtual ~MissingCardQuestion() = default;
    virtual MissingCardAnswer Ask() = 0;
};

}  // namespace zo::link
