#pragma once

#include <string>
#include <vector>

namespace zo::res {

// A rectangle in dialog units: x, y, width, height.
struct DlgRect {
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
};

enum class ControlKind {
    Static,   // text
    Picture,  // bitmap resource named by `image`
    GroupBox,
    PushButton,
    DefPushButton,  // the button Enter presses
    CheckBox,       // automatic check box
    Edit,
    ListBox,
    ComboBox,  // drop-down list
    ProgressBar,
};

// Control styles that change how a control is made or behaves.
enum ControlStyle : unsigned {
    kHidden = 1u << 0,  // created without WS_VISIBLE
    kTabStop = 1u << 1,
    kGroup = 1u << 2,
    kBorder = 1u << 3,
    kReadOnly = 1u << 4,
    kMultiLine = 1u << 5,
    kVScroll = 1u << 6,
    kHScroll = 1u << 7,
    kAutoHScroll = 1u << 8,  // without it an edit takes no more text than it can show
    kSorted = 1u << 9,
    kNotify = 1u << 10,
    kNoIntegralHeight = 1u << 11,
    kRealSizeImage = 1u << 12,  // a picture keeps the rectangle and is clipped to it
    kDisabled = 1u << 13,
    kDecoration = 1u << 14,  // a picture that says nothing: screen readers skip it
};

struct ControlTemplate {
    int id = -1;  // -1: a control nobody addresses
    ControlKind kind = ControlKind::Static;
    std::string text;
    DlgRect rect;
    unsigned style = 0;
    int image = 0;  // bitmap resource of a picture
    // What a screen reader calls the control where the label before it does not say it
    // (one part of a split field); that label then describes it.
    std::string name{};
};

enum DialogStyle : unsigned {
    kChildPage = 1u << 0,  // a property page inside a sheet
    kPopup = 1u << 1,
    kCaption = 1u << 2,
    kSysMenu = 1u << 3,
    kModalFrame = 1u << 4,
    kVisible = 1u << 5,  // shown as soon as it is created
};

// A dialog resource: the window's size and font and its controls in tab order.
struct DialogTemplate {
    int id = 0;
    std::string caption;
    DlgRect rect;
    std::string fontFace;
    int pointSize = 8;
    unsigned style = 0;
    std::vector<ControlTemplate> controls;

    const ControlTemplate* FindControl(int controlId) const {
        for (const ControlTemplate& c : controls) {
            if (c.id == controlId) {
                return &c;
            }
        }
        return nullptr;
    }
};

}  // namespace zo::res
