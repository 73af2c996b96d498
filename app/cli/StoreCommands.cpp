#include "app/cli/StoreCommands.h"

#include <ostream>

#include "app/cli/CommandReport.h"
#include "app/cli/ExitCode.h"
#include "app/cli/TransferFiles.h"
#include "platform/registry/Hive.h"
#include "res/Translation.h"
#include "store/ControlCharacters.h"
#include "store/ProfileStore.h"
#include "store/RegTransfer.h"
#include "store/RegistryKey.h"

namespace zo::cli {

using registry::DefaultHive;
using registry::HKey;
using registry::Status;

namespace {

// A name in a sentence: in double quotes, unless it is quoted already to show what is
// invisible in it.
std::string QuotedName(const std::string& name) {
    const std::string shown = store::ShownName(name);
    return shown != store::EscapeControlCharacters(name) ? shown : "\"" + shown + "\"";
}

int HiveFailure(std::ostream& err, const Status& why) {
    return StoreFailure(err, store::HiveFailure(DefaultHive(), why).text);
}

}  // namespace

int ProfilesCommand(std::ostream& out, std::ostream& err) {
    std::vector<std::string> names;
    if (const store::StoreResult listed = store::ListProfiles(&names); !listed.Ok()) {
        return StoreFailure(err, listed.text);
    }
    const auto active = store::ActiveProfileName();
    if (!active.Ok()) {
        return StoreFailure(err, active.Result().text);
    }
    for (const auto& name : names) {
        out << (store::SameProfileName(name, active.Value()) ? "* " : "  ")
            << store::ShownName(name) << "\n";
    }
    return Finish(out, err);
}

int ShowCommand(const std::string& name, std::ostream& out, std::ostream& err) {
    auto& hive = DefaultHive();
    if (const Status opened = hive.Open(); !opened.IsOk()) {
        return HiveFailure(err, opened);
    }
    HKey key;
    std::vector<registry::Value> values;
    Status s = store::IsStorableName(name)
                   ? hive.OpenKey(registry::HKEY_LOCAL_MACHINE, store::ProfilePath(name), &key)
                   : Status::NotFound;
    if (s == Status::Ok) {
        s = hive.ListValues(key, &values);
    }
    if (s == Status::Failed) {
        return HiveFailure(err, s);
    }
    if (values.empty()) {
        return NoSuchProfile(err, name);
    }
    for (const auto& v : values) {
        std::size_t nul = v.data.find('\0');
        out << store::EscapeControlCharacters(v.name) << "="
            << store::EscapeControlCharacters(v.data.substr(0, nul)) << "\n";
    }
    return Finish(out, err);
}

int RemoveCommand(const std::string& name, std::ostream& out, std::ostream& err) {
    if (const Status opened = DefaultHive().Open(); !opened.IsOk()) {
        return HiveFailure(err, opened);
    }
    std::string removed;
    const store::StoreResult result = store::RemoveProfile(name, false, &removed);
    switch (result.status) {
        case store::StoreStatus::Ok:
            out << res::Fill(res::Tr("Removed %1."), {QuotedName(removed)}) << "\n";
            return Finish(out, err);
        case store::StoreStatus::NotFound:
        case store::StoreStatus::Invalid:
        case store::StoreStatus::Changed:
            return NoSuchProfile(err, name);
        case store::StoreStatus::LastProfile:
            err << "zo-config: "
                << res::Fill(res::Tr("%1; it cannot be removed"),
                             {store::EscapeControlCharacters(result.text)})
                << "\n";
            return kExitRefused;
        case store::StoreStatus::Failed:
            break;
    }
    return StoreFailure(err, result.text);
}

int ExportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    auto& hive = DefaultHive();
    std::vector<store::RegKey> keys;
    std::string error;
    if (const Status opened = hive.Open(); !opened.IsOk()) {
        return HiveFailure(err, opened);
    }
    if (const store::StoreResult collected = store::CollectTree(hive, store::kExportRoot, &keys);
        !collected.Ok()) {
        return StoreFailure(err, collected.text);
    }
    std::string text;
    if (!store::FormatRegFile(keys, &text, &error)) {
        err << "zo-config: " << error << "\n";
        return kExitRefused;
    }
    if (args.size() < 2 || args[1] == kStandardStream) {
        out << text;
        return Finish(out, err);
    }
    if (!WriteFileAtomically(args[1], text, &error)) {
        err << "zo-config: " << error << "\n";
        return kExitRefused;
    }
    return kExitOk;
}

int ImportCommand(const std::string& file, std::ostream& out, std::ostream& err) {
    const std::string path = ImportFileName(file);
    std::string bytes, error;
    if (!ReadImportFile(file, &bytes, &error)) {
        err << "zo-config: " << error << "\n";
        return kExitRefused;
    }
    store::RegParseResult parsed = store::ParseRegFile(bytes);
    if (!parsed.ok) {
        err << "zo-config: " << path << ":" << parsed.errorLine << ": "
            << store::EscapeControlCharacters(parsed.error) << "\n";
        return kExitRefused;
    }
    auto& hive = DefaultHive();
    if (const Status opened = hive.Open(); !opened.IsOk()) {
        return HiveFailure(err, opened);
    }
    const store::StoreResult result = store::ImportKeys(hive, parsed.keys);
    switch (result.status) {
        case store::StoreStatus::Ok:
            break;
        case store::StoreStatus::Failed:
            StoreFailure(err, store::EscapeControlCharacters(result.text));
            err << "zo-config: " << path << ": " << res::Tr("nothing was imported") << "\n";
            return kExitStore;
        default:
            err << "zo-config: " << path << ":" << result.line << ": "
                << store::EscapeControlCharacters(result.text) << "; "
                << res::Tr("nothing was imported") << "\n";
            return kExitRefused;
    }
    std::size_t values = 0;
    for (const auto& k : parsed.keys) {
        values += k.values.size();
    }
    out << res::Fill(res::Tr("Imported %1 keys and %2 values."),
                     {std::to_string(parsed.keys.size()), std::to_string(values)})
        << "\n";
    return Finish(out, err);
}

}  // namespace zo::cli
