#pragma once

#include <string>

namespace zo::res {

// Ids of the program's string table.
enum StringId : int {
    IDS_SWITCH_TYPES = 102,
    IDS_LOCATION_REQUIRED = 103,
    IDS_NUMERIC_ENTRY = 104,
    IDS_PHONE_REQUIRED = 105,
    IDS_CANCEL_QUESTION = 108,
    IDS_PORT_COMM_FAILED = 109,
    IDS_PORT_WRITE_FAILED = 110,
    IDS_PORT_UNSUPPORTED = 111,
    IDS_SPID_REQUIRED = 112,
    IDS_TITLE = 113,
    IDS_REGISTRY_FAILED = 114,
    IDS_PORT_LIST = 115,
    IDS_NAME_IN_USE = 116,
    IDS_PCCARD_PATH = 117,
    IDS_DEFAULT_LOCATION = 118,
    IDS_CARD_IDENT = 120,
    IDS_CARD_NOT_DETECTED = 121,
    IDS_CURRENT_PATH = 122,
    IDS_COMMIT_PREFIX = 125,
    IDS_COMMIT_SUFFIX = 126,
    IDS_SPID_ALPHA = 127,
    IDS_PROFILE_PREFIX = 128,
    IDS_PROFILE_NOT_APPLIED = 129,
    IDS_OLE_FAILED = 130,

    // Later texts, numbered from 200 apart from the first ones.
    IDS_NAME_NOT_STORABLE = 200,
    IDS_CARD_REFUSED_COMMAND = 201,  // %1: the command, as sent without its line end
};

// The text of a string-table entry; empty for an id the table does not hold.
const std::string& LoadString(int id);

// Whether the table holds the id.
bool HasString(int id);

}  // namespace zo::res
