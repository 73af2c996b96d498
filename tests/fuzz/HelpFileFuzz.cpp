// The help file lies beside the program and anyone may have edited it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/files/HelpFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zo::files::HelpFile file;
    std::string error;
    std::string text(reinterpret_cast<const char*>(data), size);
    if (file.Parse(text, &error)) {
        if (file.TopicCount() > zo::files::HelpFile::kMaxTopics) {
            __builtin_trap();
        }
        for (unsigned long c : {2000ul, 2004ul, 3000ul, 3002ul}) {
            file.Find(c);
        }
    } else if (error.empty()) {
        __builtin_trap();
    }
    return 0;
}
