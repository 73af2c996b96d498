// The bash completion's template filled from a command table.
#include <gtest/gtest.h>

#include "tools/completion/CompletionScript.h"

using zo::cli::CommandSynopsis;
using zo::cli::FillCompletion;

namespace {

const std::string kTemplate =
    "commands=\"@ZO_COMMANDS@\"\n"
    "case $1 in\n"
    "@ZO_COMMAND_OPERANDS@\n"
    "    *) REPLY=\"\" ;;\n"
    "esac\n";

TEST(CompletionScript, FillsTheWordsInOrderAndABranchPerCommandWithOperands) {
    std::string script, error;
    ASSERT_TRUE(FillCompletion(kTemplate, {{"list", ""}, {"frob", "NAME [FILE]"}, {"go-on", ""}},
                               &script, &error))
        << error;
    EXPECT_EQ(script,
              "commands=\"list frob go-on\"\n"
              "case $1 in\n"
              "        frob) REPLY='NAME [FILE]' ;;\n"
              "    *) REPLY=\"\" ;;\n"
              "esac\n");
}

TEST(CompletionScript, RefusesATemplateWithoutItsPlacesOrWithOneTwice) {
    const std::vector<CommandSynopsis> table{{"list", ""}};
    for (const std::string& broken :
         {std::string("commands=\"list\"\n@ZO_COMMAND_OPERANDS@\n"),
          std::string("commands=\"@ZO_COMMANDS@\"\n"), kTemplate + "again=\"@ZO_COMMANDS@\"\n"}) {
        std::string script = "untouched", error;
        EXPECT_FALSE(FillCompletion(broken, table, &script, &error)) << broken;
        EXPECT_NE(error.find("@ZO_"), std::string::npos) << error;
        EXPECT_EQ(script, "untouched");
    }
}

// A name or operand that would break out of the script's quoting or case pattern.
TEST(CompletionScript, RefusesWhatCannotStandInTheScript) {
    for (const CommandSynopsis& bad : std::vector<CommandSynopsis>{
             {"", ""}, {"two words", ""}, {"a|b", ""}, {"x)", ""}, {"ok", "it's"}}) {
        std::string script, error;
        EXPECT_FALSE(FillCompletion(kTemplate, {bad}, &script, &error)) << bad.name;
        EXPECT_FALSE(error.empty());
    }
}

}  // namespace
