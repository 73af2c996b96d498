#pragma once

#include <vector>

#include "res/DialogTemplate.h"

namespace zo::res {

// The dialog template with that id, or null.
const res::DialogTemplate* FindDialogTemplate(int id);

// Every template of the program, in id order.
const std::vector<res::DialogTemplate>& AllDialogTemplates();

}  // namespace zo::res
