#include <gtest/gtest.h>

#include "platform/registry/Hive.h"
#include "store/ProfileStore.h"
#include "store/RegFile.h"
#include "store/RegTransfer.h"
#include "support/TestStore.h"

using namespace zo::store;

namespace {

std::string Utf16Le(const std::string& ascii) {
    std::string out = "\xFF\xFE";
    for (char c : ascii) {
        out.push_back(c);
        out.push_back('\0');
    }
    return out;
}

const char* const kGood =
    "REGEDIT4\r\n"
    "\r\n"
    "; exported from the old machine\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\KEST\\PCCARD\\My Office]\r\n"
    "\"Location\"=\"My Office\"\r\n"
    "\"Switch\" = \"AT&T 5ESS Custom\"\r\n"
    "@=\"quote \\\" and back\\\\slash\"\r\n";

// The same settings as an import takes them: a profile holds only its own values.
const char* const kImportable =
    "REGEDIT4\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\KEST]\r\n"
    "@=\"quote \\\" and back\\\\slash\"\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\KEST\\PCCARD\\My Office]\r\n"
    "\"Location\"=\"My Office\"\r\n"
    "\"Switch\" = \"AT&T 5ESS Custom\"\r\n";

}  // namespace

TEST(RegFileParse, AcceptsStringValuesUnderKest) {
    RegParseResult r = ParseRegFile(kGood);
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(r.keys.size(), 1u);
    EXPECT_EQ(r.keys[0].path, "SOFTWARE\\KEST\\PCCARD\\My Office");
    ASSERT_EQ(r.keys[0].values.size(), 3u);
    EXPECT_EQ(r.keys[0].values[1].data, "AT&T 5ESS Custom");
    EXPECT_EQ(r.keys[0].values[2].name, "");
    EXPECT_EQ(r.keys[0].values[2].data, "quote \" and back\\slash");
}

TEST(RegFileParse, ReadsVersion5InUtf16AndAnsiRegedit4) {
    std::string v5 = std::string("Windows Registry Editor Version 5.00\r\n\r\n") +
                     "[HKEY_LOCAL_MACHINE\\SOFTWARE\\KEST\\PCCARD\\B\xFCro]\r\n";
    RegParseResult ansi = ParseRegFile("REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\KEST\\B\xFCro]\n");
    ASSERT_TRUE(ansi.ok) << ansi.error;
    EXPECT_EQ(ansi.keys[0].path, "SOFTWARE\\KEST\\B\xC3\xBCro");
    RegParseResult wide =
        ParseRegFile(Utf16Le("Windows Registry Editor Version 5.00\r\n\r\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\KEST\\CURRENT\\X]\r\n"));
    ASSERT_TRUE(wide.ok) << wide.error;
    EXPECT_EQ(wide.keys[0].path, "SOFTWARE\\KEST\\CURRENT\\X");
    EXPECT_TRUE(ParseRegFile("\xEF\xBB\xBFWindows Registry Editor Version 5.00\n").ok);
    EXPECT_FALSE(ParseRegFile("\xFF\xFE\x41").ok);  // odd UTF-16 length
}

TEST(RegFileParse, RefusesAnythingButKestStringsNamingTheLine) {
    struct Case {
        const char* body;
        int line;
    } cases[] = {
        {"[HKEY_CURRENT_USER\\SOFTWARE\\KEST]\n", 2},
        {"[HKEY_LOCAL_MACHINE\\SOFTWARE\\KESTREL]\n", 2},
        {"[HKEY_LOCAL_MACHINE\\SOFTWARE\\KEST]\n\"n\"=dword:00000001\n", 3},
        {"[HKEY_LOCAL_MACHINE\\SOFTWARE\\KEST]\n\"n\"=hex:01,02\n", 3},
        {"[HKEY_LOCAL_MACHINE\\SOFTWARE\\KEST]\n\"n\"=-\n", 3},
        {"[-HKEY_LOCAL_MACHINE\\SOFTWARE\\KEST\\PCCARD]\n", 2},
        {"\"n\"=\"before any key\"\n", 2},
        {"[HKEY_LOCAL_MACHINE\\SOFTWARE\\KEST]\n\"n\"=\"unterminated\n", 3},
        {"[HKEY_LOCAL_MACHINE\\SOFTWARE\\KEST]\n\"n\"=\"bad \\q escape\"\n", 3},
        {"[HKEY_LOCAL_MACHINE\\SOFTWARE\\KEST\\\\PCCARD]\n", 2},
    };
    for (const auto& c : cases) {
        RegParseResult r = ParseRegFile(std::string("REGEDIT4\n") + c.body);
        EXPECT_FALSE(r.ok) << c.body;
        EXPECT_EQ(r.errorLine, c.line) << c.body << r.error;
        EXPECT_FALSE(r.error.empty());
    }
    EXPECT_FALSE(ParseRegFile("").ok);
    EXPECT_FALSE(ParseRegFile("not a registry file\n").ok);
}

TEST(RegFileTransfer, ExportImportExportGivesTheSameText) {
    std::string first;
    {
        zo::test::TestStore store;
        RegParseResult r = ParseRegFile(kImportable);
        std::string error;
        ASSERT_TRUE(ImportKeys(zo::registry::DefaultHive(), r.keys).Ok());
        std::vector<RegKey> keys;
        ASSERT_TRUE(CollectTree(zo::registry::DefaultHive(), kExportRoot, &keys));
        ASSERT_TRUE(FormatRegFile(keys, &first, &error));
    }
    EXPECT_EQ(first.rfind("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\KEST]\n", 0), 0u);
    zo::test::TestStore store;
    RegParseResult again = ParseRegFile(first);
    std::string error, second;
    std::vector<RegKey> keys;
    ASSERT_TRUE(ImportKeys(zo::registry::DefaultHive(), again.keys).Ok());
    ASSERT_TRUE(CollectTree(zo::registry::DefaultHive(), kExportRoot, &keys));
    ASSERT_TRUE(FormatRegFile(keys, &second, &error));
    EXPECT_EQ(first, second);
}

TEST(RegFileTransfer, ImportFailingHalfWayLeavesTheStoreUnchanged) {
    zo::test::TestStore store;
    auto& hive = zo::registry::DefaultHive();
    std::string error;
    ASSERT_TRUE(ImportKeys(hive, ParseRegFile(kImportable).keys).Ok());
    std::vector<RegKey> before;
    ASSERT_TRUE(CollectTree(hive, kExportRoot, &before));

    // The parser passes a long value name only up to the store's limit; a key that
    // collides with nothing but whose value the store refuses fails the whole import.
    std::vector<RegKey> keys = ParseRegFile(kImportable).keys;
    keys.push_back(RegKey{"SOFTWARE\\KEST\\PCCARD\\New", {{"Location", "New", 9}}, 8});
    keys.push_back(RegKey{"SOFTWARE\\KEST\\Bad", {{std::string(300, 'n'), "x", 11}}, 10});
    StoreResult refused = ImportKeys(hive, keys);
    EXPECT_EQ(refused.status, StoreStatus::Invalid);
    EXPECT_EQ(refused.line, 11) << refused.text;
    std::vector<RegKey> after;
    ASSERT_TRUE(CollectTree(hive, kExportRoot, &after));
    std::string a, b;
    FormatRegFile(before, &a, &error);
    FormatRegFile(after, &b, &error);
    EXPECT_EQ(a, b);
}

TEST(RegFileFormat, RefusesLineBreaksItCannotWrite) {
    std::string out, error;
    EXPECT_FALSE(FormatRegFile({RegKey{"SOFTWARE\\KEST", {{"n", "a\nb", 0}}, 0}}, &out, &error));
    EXPECT_FALSE(error.empty());
}

TEST(RegFileParse, TakesTheSettingsA64BitWindowsKeptForTheOldProgram) {
    RegParseResult r = ParseRegFile(
        "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\KEST\\PCCARD\\Home]\n"
        "\"Location\"=\"Home\"\n");
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(r.keys.size(), 1u);
    EXPECT_EQ(r.keys[0].path, "SOFTWARE\\KEST\\PCCARD\\Home");
    EXPECT_FALSE(ParseRegFile("REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432NodeX\\KEST]\n").ok);
}

// The store names one applied profile at most, whatever was imported over it.
TEST(RegFileTransfer, ImportedAppliedProfileReplacesTheStoredOne) {
    zo::test::TestStore store;
    auto& hive = zo::registry::DefaultHive();
    std::string error;
    const char* const stored =
        "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\KEST\\CURRENT\\Office]\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\KEST\\PCCARD\\Office]\n\"Location\"=\"Office\"\n";
    ASSERT_TRUE(ImportKeys(hive, ParseRegFile(stored).keys).Ok());
    const char* const incoming =
        "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\KEST\\CURRENT\\Home]\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\KEST\\PCCARD\\Home]\n\"Location\"=\"Home\"\n";
    ASSERT_TRUE(ImportKeys(hive, ParseRegFile(incoming).keys).Ok());
    EXPECT_EQ(ActiveProfileName().Value(), "Home");
    EXPECT_EQ(ListProfileNames().Value(), (std::vector<std::string>{"Office", "Home"}));
    // Re-importing the same record, in another letter case, keeps it.
    ASSERT_TRUE(
        ImportKeys(
            hive,
            ParseRegFile("REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\KEST\\CURRENT\\HOME]\n").keys)
            .Ok());
    EXPECT_EQ(ActiveProfileName().Value(), "Home");

    const char* const two =
        "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\KEST\\CURRENT\\A]\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\KEST\\CURRENT\\B]\n";
    StoreResult refused = ImportKeys(hive, ParseRegFile(two).keys);
    EXPECT_EQ(refused.status, StoreStatus::Invalid);
    EXPECT_EQ(refused.line, 3) << refused.text;
    EXPECT_EQ(ActiveProfileName().Value(), "Home");
}

// A file that is UTF-8 in one place and not in another is neither UTF-8 nor Windows-1252:
// read whole as the latter, "Zürich" would come in as "ZÃ¼rich" without a word. The first
// line that is no UTF-8 is named; a NUL is named by its own line too.
TEST(RegFileParse, RefusesMixedEncodingsAndNamesTheLine) {
    const std::string head =
        "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\KEST\\PCCARD\\Z\xC3\xBCrich]\n";
    RegParseResult mixed = ParseRegFile(head +
                                        "\"Location\"=\"Z\xC3\xBCrich\"\n\"Port\"=\"COM\xA0"
                                        "1\"\n");
    EXPECT_FALSE(mixed.ok);
    EXPECT_EQ(mixed.errorLine, 4) << mixed.error;
    RegParseResult bom = ParseRegFile(
        "\xEF\xBB\xBF"
        "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\KEST\\B\xFCro]\n");
    EXPECT_FALSE(bom.ok);
    EXPECT_EQ(bom.errorLine, 3) << bom.error;

    std::string nul = "REGEDIT4\n";
    for (int i = 2; i < 36; ++i) {
        nul += "; line\n";
    }
    nul += std::string("\"n\"=\"a\0b\"\n", 11);
    RegParseResult r = ParseRegFile(nul);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.errorLine, 36) << r.error;
}

// A key or value name with a control character would break its line in the file (a line
// feed starts a new key line): the export stops and names it, escaped.
TEST(RegFileFormat, RefusesControlCharactersInNamesNamingThem) {
    std::string out, error;
    EXPECT_FALSE(FormatRegFile(
        {RegKey{"SOFTWARE\\KEST\\PCCARD\\Off\rice", {{"Location", "x", 0}}, 0}}, &out, &error));
    EXPECT_NE(error.find("PCCARD\\Off\\x0dice"), std::string::npos) << error;
    EXPECT_FALSE(FormatRegFile({RegKey{"SOFTWARE\\KEST\\PCCARD\\A\nB", {}, 0}}, &out, &error));
    EXPECT_NE(error.find("A\\x0aB"), std::string::npos) << error;
    EXPECT_FALSE(FormatRegFile({RegKey{"SOFTWARE\\KEST", {{"n\x1b", "x", 0}}, 0}}, &out, &error));
    EXPECT_NE(error.find("n\\x1b"), std::string::npos) << error;
}
