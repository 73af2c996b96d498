#pragma once

namespace zo::wizard {

// Both go through the prompter in force, on the user-interface thread.

// The wizard pages' answer to Cancel: string 108 with Yes and No. True when the user
// wants the wizard closed.
bool ConfirmWizardCancel();

// Shows a string-table text with an OK button.
void ShowMessage(int stringId);

}  // namespace zo::wizard
