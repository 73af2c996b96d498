#include "res/DialogTemplates.h"

#include <algorithm>
#include <map>
#include <mutex>

#include "res/ResourceIds.h"
#include "res/Translation.h"

namespace zo::res {
namespace {

constexpr const char* kWizardCaption = N_("Kest Ferronix ZO!(tm) Series Wizard");
constexpr const char* kDialogFont = "MS Sans Serif";

ControlTemplate Text(const char* text, DlgRect r, int id = -1) {
    return {id, ControlKind::Static, text, r, 0, 0};
}

ControlTemplate Banner(DlgRect r, unsigned style) {
    return {-1, ControlKind::Picture, "", r, style | kDecoration, IDB_BANNER};
}

ControlTemplate AnimationPlaceholder() {
    return {IDC_ANIMATION, ControlKind::Static, "", {255, 0, 100, 100}, kHidden, 0};
}

constexpr unsigned kEditStyle = kBorder | kTabStop | kAutoHScroll;

ControlTemplate Edit(int id, DlgRect r, unsigned style = kEditStyle) {
    return {id, ControlKind::Edit, "", r, style, 0};
}

// One part of a telephone number split in three: its label names the whole number, so
// the part has a name of its own for screen readers.
ControlTemplate NumberPart(int id, DlgRect r, const char* name, unsigned style = kEditStyle) {
    return {id, ControlKind::Edit, "", r, style, 0, name};
}

// A terminal's SPID field: the two share their label's words, so each is named by its
// terminal for screen readers, as the number parts are.
ControlTemplate SpidField(int id, DlgRect r, const char* name, unsigned style = kEditStyle) {
    return {id, ControlKind::Edit, "", r, style, 0, name};
}

ControlTemplate Group(const char* text, DlgRect r) {
    return {-1, ControlKind::GroupBox, text, r, 0, 0};
}

constexpr unsigned kListStyle =
    kSorted | kNotify | kVScroll | kBorder | kTabStop | kNoIntegralHeight;

DialogTemplate Page(int id, const char* caption, DlgRect size,
                    std::vector<ControlTemplate> controls) {
    return {id, caption, size, kDialogFont, 8, kChildPage, std::move(controls)};
}

DialogTemplate Location() {
    return Page(
        IDD_LOCATION, kWizardCaption, {0, 0, 365, 201},
        {
            Text("Enter the name of a profile associated with the location you are dialing "
                 "from.",
                 {15, 70, 210, 20}),
            Text("&I am dialing from :", {27, 102, 60, 8}),
            Edit(IDC_LOCATION_NAME, {93, 99, 137, 14}),
            Text("Common examples: Home, Office, Seattle Office, etc...", {15, 128, 194, 8}),
            Group("Disable Auto Detect", {15, 152, 224, 40}),
            {IDC_NO_AUTO_DETECT,
             ControlKind::CheckBox,
             N_("&Do not detect my Ferronix Zo!(tm) Series Card. "),
             {29, 166, 173, 8},
             kGroup | kTabStop,
             0},
            Text(" I will enter my serial port settings manually.", {47, 176, 153, 8}),
            Banner({10, 5, 238, 45}, kRealSizeImage),
            AnimationPlaceholder(),
        });
}

DialogTemplate Phone() {
    return Page(IDD_PHONE, kWizardCaption, {0, 0, 385, 197},
                {
                    Text("Please enter your ISDN phone numbers for:", {15, 94, 216, 8}),
                    Group("ISDN Configuration 1", {15, 109, 171, 67}),
                    Text("&Telephone:", {24, 127, 37, 8}),
                    NumberPart(IDC_AREA1, {67, 127, 23, 14}, N_("Area code 1")),
                    Text("-", {95, 127, 8, 8}),
                    NumberPart(IDC_EXCHANGE1, {107, 127, 23, 14}, N_("Exchange 1")),
                    Text("-", {134, 127, 8, 8}),
                    NumberPart(IDC_LINE1, {148, 127, 32, 14}, N_("Line number 1")),
                    Text("&SPID:", {24, 151, 20, 8}),
                    SpidField(IDC_SPID1, {67, 150, 96, 14}, "SPID 1"),
                    Group("ISDN Configuration 2", {202, 109, 171, 67}),
                    Text("T&elephone:", {212, 128, 37, 8}),
                    NumberPart(IDC_AREA2, {255, 128, 23, 14}, N_("Area code 2")),
                    Text("-", {283, 131, 8, 8}),
                    NumberPart(IDC_EXCHANGE2, {295, 128, 23, 14}, N_("Exchange 2")),
                    Text("-", {322, 131, 8, 8}),
                    NumberPart(IDC_LINE2, {336, 128, 32, 14}, N_("Line number 2")),
                    Text("S&PID:", {212, 152, 20, 8}),
                    SpidField(IDC_SPID2, {255, 152, 96, 14}, "SPID 2"),
                    Banner({10, 5, 238, 45}, kRealSizeImage),
                    AnimationPlaceholder(),
                });
}

DialogTemplate Switch() {
    return Page(IDD_SWITCH, kWizardCaption, {0, 0, 365, 201},
                {
                    Text("What is your switch type?", {15, 110, 93, 8}),
                    {IDC_SWITCH_LIST, ControlKind::ListBox, "", {109, 110, 173, 40}, kListStyle, 0},
                    Banner({10, 5, 238, 45}, kRealSizeImage),
                    AnimationPlaceholder(),
                });
}

DialogTemplate Commit() {
    return Page(
        IDD_COMMIT, kWizardCaption, {0, 0, 365, 201},
        {
            Text("The information that you have entered for profile <Profile/Location Name> "
                 "will now be saved, and optionally applied to your Kest Ferronix ZO!(tm) "
                 "Series Card.",
                 {15, 70, 214, 23}, IDC_COMMIT_SUMMARY),
            Group("Apply the results to:", {29, 106, 191, 46}),
            {IDC_APPLY_TO_CARD,
             ControlKind::CheckBox,
             N_("The Kest &Ferronix ZO!(tm) Series PC Card."),
             {55, 123, 149, 17},
             kTabStop,
             0},
            Banner({10, 5, 238, 45}, kRealSizeImage),
            AnimationPlaceholder(),
        });
}

DialogTemplate Serial() {
    return Page(IDD_SERIAL, kWizardCaption, {0, 0, 365, 201},
                {
                    Text("P&ort:", {15, 70, 20, 8}),
                    {IDC_PORT_LIST, ControlKind::ListBox, "", {41, 68, 98, 38}, kListStyle, 0},
                    Text("", {41, 110, 84, 18}, IDC_PORT_DEVICE),
                    {IDC_PORT_DEVICE_CHOOSE,
                     ControlKind::PushButton,
                     N_("&Device..."),
                     {41, 130, 50, 14},
                     kTabStop,
                     0},
                    Banner({10, 5, 238, 45}, kRealSizeImage),
                    Text("The Kest Ferronix Zo!(tm) Series card has been assigned a COM port.You "
                         "should change the settings only if you have reinstalled the card with "
                         "a different port setting.",
                         {128, 116, 194, 31}),
                    AnimationPlaceholder(),
                });
}

DialogTemplate General() {
    return Page(IDD_GENERAL, " General", {0, 0, 362, 151},
                {
                    Text("P&ort:", {5, 70, 20, 8}),
                    {IDC_PORT_LIST, ControlKind::ListBox, "", {31, 68, 98, 38}, kListStyle, 0},
                    Text("", {31, 110, 94, 18}, IDC_PORT_DEVICE),
                    {IDC_PORT_DEVICE_CHOOSE,
                     ControlKind::PushButton,
                     N_("&Device..."),
                     {31, 130, 50, 14},
                     kTabStop,
                     0},
                    Banner({0, 5, 238, 45}, kRealSizeImage),
                    Text("The Ferronix Zo!(tm) Series card has been assigned a COM port. You "
                         "should change the settings only if you have reinstalledthe card with a "
                         "different port setting.",
                         {128, 116, 194, 31}),
                    AnimationPlaceholder(),
                });
}

DialogTemplate Configure() {
    constexpr unsigned kNumber = kBorder | kTabStop;  // no horizontal scrolling
    constexpr unsigned kSpid = kBorder | kTabStop | kAutoHScroll;
    return Page(
        IDD_CONFIGURE, "Configure", {0, 0, 365, 201},
        {
            Text("&I am dialing from:", {15, 70, 54, 8}),
            {IDC_CFG_PROFILE,
             ControlKind::ComboBox,
             "",
             {15, 84, 87, 41},
             kSorted | kVScroll | kTabStop,
             0},
            {IDC_CFG_NEW, ControlKind::PushButton, N_("&New..."), {117, 84, 42, 14}, kTabStop, 0},
            {IDC_CFG_REMOVE,
             ControlKind::PushButton,
             N_("&Remove"),
             {173, 84, 42, 14},
             kTabStop,
             0},
            Text("Switch Type:", {15, 106, 42, 8}),
            {IDC_CFG_SWITCH, ControlKind::ComboBox, "", {60, 103, 156, 57}, kSorted | kTabStop, 0},
            Group("ISDN Configuration 1", {15, 123, 165, 60}),
            Text("Phone Number", {28, 142, 50, 8}),
            NumberPart(IDC_CFG_AREA1, {84, 142, 17, 13}, N_("Area code 1"), kNumber),
            Text("-", {104, 142, 8, 8}),
            NumberPart(IDC_CFG_EXCHANGE1, {112, 142, 17, 13}, N_("Exchange 1"), kNumber),
            Text("-", {132, 142, 8, 8}),
            NumberPart(IDC_CFG_LINE1, {142, 142, 23, 13}, N_("Line number 1"), kNumber),
            Text("SPID", {28, 163, 28, 8}),
            SpidField(IDC_CFG_SPID1, {84, 161, 72, 13}, "SPID 1", kSpid),
            Group("", {190, 123, 165, 60}),
            {IDC_CFG_CONFIG2,
             ControlKind::CheckBox,
             N_("&ISDN Configuration 2"),
             {199, 123, 82, 10},
             kTabStop,
             0},
            Text("Phone Number", {203, 142, 48, 8}),
            NumberPart(IDC_CFG_AREA2, {259, 137, 17, 13}, N_("Area code 2"), kNumber),
            Text("-", {279, 139, 8, 8}),
            NumberPart(IDC_CFG_EXCHANGE2, {287, 137, 17, 13}, N_("Exchange 2"), kNumber),
            Text("-", {307, 139, 8, 8}),
            NumberPart(IDC_CFG_LINE2, {317, 137, 23, 13}, N_("Line number 2"), kNumber),
            Text("SPID", {203, 162, 28, 8}),
            SpidField(IDC_CFG_SPID2, {259, 158, 72, 13}, "SPID 2", kSpid),
            Banner({0, 5, 238, 45}, 0),
            AnimationPlaceholder(),
        });
}

DialogTemplate Product() {
    constexpr unsigned kField = kReadOnly;  // no border
    return Page(
        IDD_PRODUCT, "Product Info", {0, 0, 365, 201},
        {
            Text("Product Name:", {15, 61, 50, 8}),
            Edit(IDC_PRODUCT_NAME, {72, 61, 137, 12}, kField),
            Text("Software Revision:", {15, 86, 60, 8}),
            Edit(IDC_SOFTWARE_REVISION, {83, 86, 109, 12}, kField),
            Text("Software Release Date:", {15, 110, 80, 8}),
            Edit(IDC_RELEASE_DATE, {99, 110, 109, 12}, kField),
            Text("Line Status:", {15, 148, 45, 8}),
            Edit(IDC_LINE_STATUS, {146, 148, 109, 12}, kField),
            {IDC_STATUS_SIGN, ControlKind::Picture, "", {80, 137, 33, 31}, 0, IDB_SIGN_ACTIVE},
            {IDC_RAW_DATA,
             ControlKind::PushButton,
             N_("Raw Data ..."),
             {295, 145, 50, 14},
             kTabStop,
             0},
            Banner({10, 5, 238, 45}, kRealSizeImage),
            AnimationPlaceholder(),
        });
}

DialogTemplate MissingCard() {
    return {IDD_MISSING_CARD,
            N_("Missing Card"),
            {0, 0, 233, 103},
            kDialogFont,
            8,
            kPopup | kCaption | kSysMenu | kModalFrame,
            {
                {IDC_CONTINUE,
                 ControlKind::DefPushButton,
                 N_("&Continue"),
                 {92, 65, 50, 14},
                 kTabStop,
                 0},
                {IDC_SELECT_PORT,
                 ControlKind::PushButton,
                 N_("&Select a Port"),
                 {25, 65, 50, 14},
                 kTabStop,
                 0},
                {2, ControlKind::PushButton, N_("Cancel"), {159, 65, 50, 14}, kTabStop, 0},
                Text("I could not locate your Kest Ferronix Zo!(tm) Series Card. We can try a "
                     "different Port. To do this press \"Select a Port\". Or ignore the cards "
                     "absense and write the information to the registry. To do this press "
                     "\"Continue\".",
                     {25, 16, 188, 41}),
            }};
}

DialogTemplate Progress() {
    return {IDD_PROGRESS,
            N_("Progress"),
            {0, 0, 186, 42},
            kDialogFont,
            8,
            kPopup | kCaption | kSysMenu | kModalFrame,
            {
                {IDC_PROGRESS, ControlKind::ProgressBar, "", {7, 7, 172, 26}, 0, 0},
            }};
}

DialogTemplate RawData() {
    return {IDD_RAW_DATA,
            N_("Product Information"),
            {0, 0, 248, 181},
            "Courier",
            8,
            kPopup | kCaption | kSysMenu | kModalFrame,
            {
                {IDC_RAW_TEXT,
                 ControlKind::Edit,
                 "",
                 {7, 7, 234, 140},
                 kMultiLine | kReadOnly | kBorder | kVScroll | kHScroll | kTabStop,
                 0,
                 N_("Raw data")},
                {1, ControlKind::DefPushButton, N_("&OK"), {47, 160, 52, 14}, kTabStop, 0},
                {IDC_COPY_TO_CLIPBOARD,
                 ControlKind::PushButton,
                 N_("&Copy to Clipboard"),
                 {129, 160, 77, 14},
                 kTabStop,
                 0},
            }};
}

DialogTemplate Splash() {
    return {IDD_SPLASH,
            "",
            {0, 0, 357, 203},
            kDialogFont,
            8,
            kPopup | kVisible | kModalFrame,
            {
                {-1, ControlKind::Picture, "", {4, 4, 353, 194}, kDecoration, IDB_SPLASH},
            }};
}

std::vector<DialogTemplate> MakeAll() {
    std::vector<DialogTemplate> all{Location(),    Phone(),    Switch(),    Commit(),
                                    Serial(),      General(),  Configure(), Product(),
                                    MissingCard(), Progress(), RawData(),   Splash()};
    std::sort(all.begin(), all.end(),
              [](const DialogTemplate& a, const DialogTemplate& b) { return a.id < b.id; });
    return all;
}

// The templates with their texts in the user's language; fonts and ids stay.
std::vector<DialogTemplate> Translated(std::vector<DialogTemplate> all) {
    for (DialogTemplate& t : all) {
        t.caption = Tr(t.caption);
        for (ControlTemplate& c : t.controls) {
            c.text = Tr(c.text);
            c.name = Tr(c.name);
        }
    }
    return all;
}

}  // namespace

const std::vector<res::DialogTemplate>& AllDialogTemplates() {
    // Made once per language, so that pointers into them stay valid for the program's
    // lifetime; the language changes at start (and in tests).
    static std::mutex mutex;
    static std::map<unsigned, std::vector<res::DialogTemplate>> all;
    const std::lock_guard<std::mutex> lock(mutex);
    auto [it, added] = all.try_emplace(TranslationGeneration());
    if (added) {
        it->second = Translated(MakeAll());
    }
    return it->second;
}

const res::DialogTemplate* FindDialogTemplate(int id) {
    for (const res::DialogTemplate& t : AllDialogTemplates()) {
        if (t.id == id) {
            return &t;
        }
    }
    return nullptr;
}

}  // namespace zo::res
