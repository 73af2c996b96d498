#include "app/cli/CommandReport.h"

#include <cerrno>
#include <cstring>
#include <ostream>

#include "app/cli/ExitCode.h"
#include "res/Strings.h"
#include "store/ControlCharacters.h"
#include "store/RegistryKey.h"

namespace zo::cli {

int StoreFailure(std::ostream& err) {
    return StoreFailure(err, store::RegistryFailureDetail());
}

int StoreFailure(std::ostream& err, const std::string& detail) {
    err << res::LoadString(res::IDS_REGISTRY_FAILED) << "\n(" << detail << ")\n";
    return kExitStore;
}

int NoSuchProfile(std::ostream& err, const std::string& typed) {
    const std::string shown = store::ShownName(typed);
    err << "zo-config: no profile named "
        << (shown != store::EscapeControlCharacters(typed) ? shown : "\"" + shown + "\"") << "\n";
    return kExitRefused;
}

int Finish(std::ostream& out, std::ostream& err) {
    out.flush();
    if (!out.good()) {
        err << "zo-config: cannot write the output: " << std::strerror(errno ? errno : EIO) << "\n";
        return kExitRefused;
    }
    return kExitOk;
}

}  // namespace zo::cli
