#include "wizard/CancelQuestion.h"

#include "platform/prompt/Prompter.h"
#include "res/Strings.h"

namespace zo::wizard {

bool ConfirmWizardCancel() {
    return platform::CurrentPrompter().Ask(res::LoadString(res::IDS_CANCEL_QUESTION),
                                           platform::Buttons::YesNo) == platform::Answer::Yes;
}

void ShowMessage(int stringId) {
    platform::CurrentPrompter().Ask(res::LoadString(stringId), platform::Buttons::Ok);
}

}  // namespace zo::wizard
