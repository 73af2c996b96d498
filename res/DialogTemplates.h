#pragma once

#include <vector>

#include "platform/ui/DialogTemplate.h"

namespace zo::res {

// The dialog template with that id, or null.
const ui::DialogTemplate* FindDialogTemplate(int id);

// Every template of the program, in id order.
const std::vector<ui::DialogTemplate>& AllDialogTemplates();

}  // namespace zo::res
