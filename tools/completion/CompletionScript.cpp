#include "tools/completion/CompletionScript.h"

namespace zo::cli {
namespace {

constexpr const char* kCommandsPlace = "@ZO_COMMANDS@";
constexpr const char* kOperandsPlace = "@ZO_COMMAND_OPERANDS@";

// The name stands unquoted in a case pattern and in the word list compgen splits.
bool PlainWord(const std::string& name) {
    if (name.empty()) {
        return false;
    }
    for (char c : name) {
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-')) {
            return false;
        }
    }
    return true;
}

bool ReplaceOnce(std::string* text, const std::string& place, const std::string& with,
                 std::string* error) {
    const std::size_t at = text->find(place);
    if (at == std::string::npos || text->find(place, at + 1) != std::string::npos) {
        *error = "the completion template must hold " + place + " once";
        return false;
    }
    text->replace(at, place.size(), with);
    return true;
}

}  // namespace

bool FillCompletion(const std::string& completionTemplate,
                    const std::vector<CommandSynopsis>& commands, std::string* script,
                    std::string* error) {
    std::string words;
    std::string branches;
    for (const auto& command : commands) {
        if (!PlainWord(command.name)) {
            *error = "command name '" + command.name + "' is not a plain word";
            return false;
        }
        if (command.operands.find('\'') != std::string::npos) {
            *error = "the operands of '" + command.name + "' hold a quote";
            return false;
        }
        words += (words.empty() ? "" : " ") + command.name;
        if (!command.operands.empty()) {
            branches += "        " + command.name + ") REPLY='" + command.operands + "' ;;\n";
        }
    }
    std::string text = completionTemplate;
    // The branches fill whole lines: the place stands alone on its line in the template.
    if (!branches.empty()) {
        branches.pop_back();
    }
    if (!ReplaceOnce(&text, kCommandsPlace, words, error) ||
        !ReplaceOnce(&text, kOperandsPlace, branches, error)) {
        return false;
    }
    *script = std::move(text);
    return true;
}

}  // namespace zo::cli
