#pragma once

namespace zo::ui {

// Command ids of standard buttons.
enum CommandId : int {
    IDOK = 1,
    IDCANCEL = 2,
    IDHELP = 9,
    ID_APPLY_NOW = 0x3021,
    ID_WIZBACK = 0x3023,
    ID_WIZNEXT = 0x3024,
    ID_WIZFINISH = 0x3025,
};

// Control notification codes, as the dialogs' command maps name them.
enum NotifyCode : int {
    BN_CLICKED = 0,
    LBN_SELCHANGE = 1,
    CBN_SELCHANGE = 1,
    LBN_DBLCLK = 2,
    EN_SETFOCUS = 0x100,
    EN_KILLFOCUS = 0x200,
    EN_CHANGE = 0x300,
    EN_UPDATE = 0x400,
};

// Buttons a wizard page enables with SetWizardButtons.
enum WizardButtons : unsigned {
    PSWIZB_BACK = 0x1,
    PSWIZB_NEXT = 0x2,
    PSWIZB_FINISH = 0x4,
    PSWIZB_DISABLEDFINISH = 0x8,
};

// Help commands.
enum HelpCommand : unsigned {
    HELP_CONTEXT = 0x1,
    HELP_QUIT = 0x2,
};

}  // namespace zo::ui
