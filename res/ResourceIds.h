#pragma once

// Resource ids of the program: dialog templates, bitmaps, the icon and the controls the
// code addresses. Dialog controls are named after the template that holds them.
namespace zo::res {

enum DialogId : int {
    IDD_LOCATION = 103,
    IDD_PHONE = 106,
    IDD_SWITCH = 107,
    IDD_COMMIT = 130,
    IDD_SERIAL = 132,
    IDD_MISSING_CARD = 135,
    IDD_CONFIGURE = 138,
    IDD_PRODUCT = 144,
    IDD_GENERAL = 145,
    IDD_PROGRESS = 146,
    IDD_RAW_DATA = 149,
    IDD_SPLASH = 154,
};

enum BitmapId : int {
    IDB_BANNER = 136,
    IDB_SIGN_STOP = 140,
    IDB_SIGN_ACTIVE = 141,
    IDB_SIGN_YIELD = 142,
    IDB_SPLASH = 158,
};

enum IconId : int {
    IDI_APPLICATION_ICON = 128,
};

enum ControlId : int {
    IDC_ANIMATION = 1041,  // hidden placeholder on every page

    // 103 location page
    IDC_LOCATION_NAME = 1001,
    IDC_NO_AUTO_DETECT = 1019,

    // 107 switch page
    IDC_SWITCH_LIST = 1011,

    // 106 phone page
    IDC_AREA1 = 1002,
    IDC_EXCHANGE1 = 1003,
    IDC_LINE1 = 1004,
    IDC_AREA2 = 1005,
    IDC_EXCHANGE2 = 1006,
    IDC_LINE2 = 1007,
    IDC_SPID1 = 1018,
    IDC_SPID2 = 1019,

    // 132 and 145 port pages
    IDC_PORT_LIST = 1007,
    IDC_PORT_DEVICE = 1042,
    IDC_PORT_DEVICE_CHOOSE = 1043,

    // 130 commit page
    IDC_APPLY_TO_CARD = 1021,
    IDC_COMMIT_SUMMARY = 1022,

    // 138 configuration page
    IDC_CFG_AREA1 = 1001,
    IDC_CFG_EXCHANGE1 = 1002,
    IDC_CFG_LINE1 = 1003,
    IDC_CFG_AREA2 = 1004,
    IDC_CFG_EXCHANGE2 = 1005,
    IDC_CFG_LINE2 = 1006,
    IDC_CFG_SPID1 = 1007,
    IDC_CFG_SWITCH = 1008,
    IDC_CFG_SPID2 = 1009,
    IDC_CFG_CONFIG2 = 1010,
    IDC_CFG_PROFILE = 1012,
    IDC_CFG_NEW = 1013,
    IDC_CFG_REMOVE = 1014,

    // 144 product page
    IDC_PRODUCT_NAME = 1011,
    IDC_RAW_DATA = 1029,
    IDC_SOFTWARE_REVISION = 1030,
    IDC_RELEASE_DATE = 1031,
    IDC_LINE_STATUS = 1032,
    IDC_STATUS_SIGN = 1033,

    // 135 missing card dialog
    IDC_SELECT_PORT = 1023,
    IDC_CONTINUE = 1024,

    // 146 progress dialog
    IDC_PROGRESS = 1035,

    // 149 raw data dialog
    IDC_RAW_TEXT = 1037,
    IDC_COPY_TO_CLIPBOARD = 1039,
};

}  // namespace zo::res
