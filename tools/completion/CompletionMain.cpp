// zo-completion: writes the bash completion from its template and the command table.
// Usage: zo-completion TEMPLATE OUTPUT
#include <cstdio>
#include <fstream>
#include <sstream>

#include "tools/completion/CompletionScript.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "Usage: zo-completion TEMPLATE OUTPUT\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "zo-completion: cannot read %s\n", argv[1]);
        return 1;
    }
    std::ostringstream completionTemplate;
    completionTemplate << in.rdbuf();
    std::string script, error;
    if (!zo::cli::FillCompletion(completionTemplate.str(), zo::cli::CommandSynopses(), &script,
                                 &error)) {
        std::fprintf(stderr, "zo-completion: %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out << script;
    out.close();
    if (!out) {
        std::fprintf(stderr, "zo-completion: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
