#include "store/RegFile.h"

#include <algorithm>

#include "platform/registry/KeyPath.h"
#include "res/Translation.h"
#include "store/ControlCharacters.h"
#include "store/TextEncoding.h"

namespace zo::store {
namespace {

constexpr std::string_view kHeader4 = "REGEDIT4";
constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kRootName = "HKEY_LOCAL_MACHINE";
constexpr std::string_view kWow64Root = "SOFTWARE\\WOW6432Node";

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() &&
           registry::FoldName(s.substr(0, prefix.size())) == registry::FoldName(prefix);
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

// Reads a quoted string starting at s[pos] == '"'; leaves pos after the closing quote.
bool ReadQuoted(std::string_view s, std::size_t* pos, std::string* out, std::string* error) {
    out->clear();
    std::size_t i = *pos + 1;
    while (i < s.size()) {
        char c = s[i];
        if (c == '"') {
            *pos = i + 1;
            return true;
        }
        if (c == '\\') {
            if (i + 1 >= s.size() || (s[i + 1] != '\\' && s[i + 1] != '"')) {
                *error = res::Tr("unknown escape in a quoted string");
                return false;
            }
            out->push_back(s[i + 1]);
            i += 2;
            continue;
        }
        out->push_back(c);
        ++i;
    }
    *error = res::Tr("a quoted string is not closed");
    return false;
}

int LineAt(std::string_view text, std::size_t offset) {
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + offset, '\n'));
}

// The file as UTF-8. A file of one legacy encoding is Windows-1252, as old registry exports
// are; one that is UTF-8 in places and not in others is neither, and no reading of it can
// be trusted: `badLine` names where it stops being UTF-8.
bool Decode(std::string_view bytes, std::string* text, int* badLine) {
    *badLine = 0;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        return Utf16LeToUtf8(bytes.substr(2), text);
    }
    const bool bom = bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF";
    if (bom) {
        bytes.remove_prefix(3);
    }
    const std::size_t bad = FirstInvalidUtf8(bytes);
    if (bad == std::string_view::npos) {
        *text = std::string(bytes);
        return true;
    }
    if (bom || HasUtf8Sequence(bytes)) {
        *badLine = LineAt(bytes, bad);
        return false;
    }
    *text = Cp1252ToUtf8(bytes);
    return true;
}

RegParseResult Error(int line, std::string message) {
    RegParseResult r;
    r.errorLine = line;
    r.error = std::move(message);
    return r;
}

}  // namespace

RegParseResult ParseRegFile(std::string_view bytes) {
    std::string text;
    int badLine = 0;
    if (!Decode(bytes, &text, &badLine)) {
        if (badLine > 0) {
            return Error(badLine,
                         res::Tr("a byte that is no UTF-8 in a file that is UTF-8 elsewhere; the "
                                 "file mixes two encodings, so its names cannot be read safely"));
        }
        return Error(1, res::Tr("the file is not valid UTF-16 text"));
    }
    if (const std::size_t nul = text.find('\0'); nul != std::string::npos) {
        return Error(LineAt(text, nul), res::Tr("the file holds NUL characters"));
    }
    RegParseResult result;
    bool header = false;
    int lineNo = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        std::string_view line(text.data() + start,
                              (end == std::string::npos ? text.size() : end) - start);
        start = end == std::string::npos ? text.size() + 1 : end + 1;
        ++lineNo;
        line = Trim(line);
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (!header) {
            if (line != kHeader4 && line != kHeader5) {
                return Error(lineNo,
                             res::Fill(res::Tr("not a registry file (expected \"%1\" or \"%2\")"),
                                       {std::string(kHeader4), std::string(kHeader5)}));
            }
            header = true;
            continue;
        }
        if (line.front() == '[') {
            std::size_t close = line.rfind(']');
            if (close == std::string_view::npos || close + 1 != line.size()) {
                return Error(lineNo, res::Tr("a key line must end in ']'"));
            }
            std::string_view path = line.substr(1, close - 1);
            if (!path.empty() && path.front() == '-') {
                return Error(lineNo, res::Tr("key deletions are not supported"));
            }
            if (!StartsWithNoCase(path, kRootName) ||
                (path.size() > kRootName.size() && path[kRootName.size()] != '\\')) {
                return Error(lineNo,
                             res::Fill(res::Tr("only keys under %1 can be imported"),
                                       {"HKEY_LOCAL_MACHINE\\" + std::string(kExportRoot)}));
            }
            path.remove_prefix(std::min(path.size(), kRootName.size() + 1));
            // A 64-bit Windows keeps 32-bit programs' settings under WOW6432Node.
            std::string unredirected;
            if (StartsWithNoCase(path, kWow64Root) &&
                (path.size() == kWow64Root.size() || path[kWow64Root.size()] == '\\')) {
                unredirected = "SOFTWARE" + std::string(path.substr(kWow64Root.size()));
                path = unredirected;
            }
            const std::string_view root(kExportRoot);
            if (!StartsWithNoCase(path, root) ||
                (path.size() > root.size() && path[root.size()] != '\\')) {
                return Error(lineNo,
                             res::Fill(res::Tr("only keys under %1 can be imported"),
                                       {"HKEY_LOCAL_MACHINE\\" + std::string(kExportRoot)}));
            }
            std::vector<std::string> names;
            switch (registry::SplitKeyPath(path, &names)) {
                case registry::PathError::TooLong:
                    return Error(lineNo, res::Tr("the key path or a key name is too long"));
                case registry::PathError::EmptyComponent:
                    return Error(lineNo, res::Tr("the key path has an empty name"));
                case registry::PathError::None:
                    break;
            }
            result.keys.push_back(RegKey{std::string(path), {}, lineNo});
            continue;
        }
        if (result.keys.empty()) {
            return Error(lineNo, res::Tr("a value line comes before any key"));
        }
        RegValue value;
        value.line = lineNo;
        std::size_t pos = 0;
        std::string error;
        if (line.front() == '@') {
            pos = 1;
        } else if (line.front() == '"') {
            if (!ReadQuoted(line, &pos, &value.name, &error)) {
                return Error(lineNo, error);
            }
        } else {
            return Error(lineNo, res::Tr("unrecognised line"));
        }
        std::string_view rest = Trim(line.substr(pos));
        if (rest.empty() || rest.front() != '=') {
            return Error(lineNo, res::Tr("'=' expected after the value name"));
        }
        rest = Trim(rest.substr(1));
        if (rest == "-") {
            return Error(lineNo, res::Tr("value deletions are not supported"));
        }
        if (rest.empty() || rest.front() != '"') {
            return Error(lineNo, res::Tr("only string values can be imported"));
        }
        pos = 0;
        if (!ReadQuoted(rest, &pos, &value.data, &error)) {
            return Error(lineNo, error);
        }
        if (!Trim(rest.substr(pos)).empty()) {
            return Error(lineNo, res::Tr("unexpected text after the value"));
        }
        if (registry::RegistryLength(value.name) > registry::kMaxNameLength) {
            return Error(lineNo, res::Tr("the value name is too long"));
        }
        result.keys.back().values.push_back(std::move(value));
    }
    if (!header) {
        return Error(1, res::Tr("the file is empty"));
    }
    result.ok = true;
    return result;
}

namespace {

void AppendQuoted(std::string_view s, std::string* out) {
    out->push_back('"');
    for (char c : s) {
        if (c == '\\' || c == '"') {
            out->push_back('\\');
        }
        out->push_back(c);
    }
    out->push_back('"');
}

}  // namespace

bool FormatRegFile(const std::vector<RegKey>& keys, std::string* out, std::string* error) {
    out->assign("REGEDIT4\n\n");
    for (const auto& key : keys) {
        // What the file would not hold, or a later import would refuse, stops the export.
        if (HasControlCharacters(key.path)) {
            *error = res::Fill(res::Tr("the key %1 has a control character in its name, which a "
                                       "registry file cannot hold; rename or remove it first"),
                               {EscapeControlCharacters(key.path)});
            return false;
        }
        out->append("[HKEY_LOCAL_MACHINE\\").append(key.path).append("]\n");
        for (const auto& v : key.values) {
            if (HasControlCharacters(v.name) || HasControlCharacters(v.data)) {
                *error =
                    res::Fill(res::Tr("the value \"%1\" of %2 holds a control character, "
                                      "which a registry file cannot hold"),
                              {EscapeControlCharacters(v.name), EscapeControlCharacters(key.path)});
                return false;
            }
            if (v.name.empty()) {
                out->push_back('@');
            } else {
                AppendQuoted(v.name, out);
            }
            out->push_back('=');
            AppendQuoted(v.data, out);
            out->push_back('\n');
        }
        out->push_back('\n');
    }
    return true;
}

}  // namespace zo::store
