#include "app/cli/CommandReport.h"

#include <cerrno>
#include <cstring>
#include <ostream>

#include "app/cli/ExitCode.h"
#include "res/Strings.h"
#include "res/Translation.h"
#include "store/ControlCharacters.h"

namespace zo::cli {

int StoreFailure(std::ostream& err, const std::string& detail) {
    err << res::LoadString(res::IDS_REGISTRY_FAILED) << "\n(" << detail << ")\n";
    return kExitStore;
}

int NoSuchProfile(std::ostream& err, const std::string& typed) {
    const std::string shown = store::ShownName(typed);
    err << "zo-config: "
        << res::Fill(res::Tr("no profile named %1"),
                     {shown != store::EscapeControlCharacters(typed) ? shown : "\"" + shown + "\""})
        << "\n";
    return kExitRefused;
}

int Finish(std::ostream& out, std::ostream& err) {
    out.flush();
    if (!out.good()) {
        err << "zo-config: "
            << res::Fill(res::Tr("cannot write the output: %1"),
                         {std::strerror(errno ? errno : EIO)})
            << "\n";
        return kExitRefused;
    }
    return kExitOk;
}

}  // namespace zo::cli
