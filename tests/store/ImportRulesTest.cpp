#include <gtest/gtest.h>

#include <algorithm>

#include "platform/registry/Hive.h"
#include "platform/registry/KeyPath.h"
#include "store/ControlCharacters.h"
#include "store/ProfileStore.h"
#include "store/RegFile.h"
#include "store/RegTransfer.h"
#include "support/TestStore.h"

using namespace zo::store;

namespace {

const std::string kKey = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\KEST\\";

struct Line {
    const char* name;
    const char* data;
};

// The values of a whole profile, as the program writes them.
const std::vector<Line> kHome{{"Location", "Home"},
                              {"Switch", "National ISDN-1 (NI-1)"},
                              {"Phone1", "2065550100"},
                              {"SPID1", "20655501000101"},
                              {"Port", "COM4"},
                              {"Baud", "115200"},
                              {"Bits", "8"},
                              {"Parity", "None"},
                              {"Stop", "1"},
                              {"Flow", "Hardware"},
                              {"Phone2", "2065550111"},
                              {"SPID2", "20655501110101"}};

std::string File(const std::string& keyPath, const std::vector<Line>& values) {
    std::string text = "REGEDIT4\n\n" + kKey + keyPath + "]\n";
    for (const auto& v : values) {
        text += std::string("\"") + v.name + "\"=\"" + v.data + "\"\n";
    }
    return text;
}

StoreResult Import(const std::string& text) {
    RegParseResult parsed = ParseRegFile(text);
    EXPECT_TRUE(parsed.ok) << parsed.error;
    return ImportKeys(zo::registry::DefaultHive(), parsed.keys);
}

std::string Export() {
    std::vector<RegKey> keys;
    std::string error, text;
    EXPECT_TRUE(CollectTree(zo::registry::DefaultHive(), kExportRoot, &keys));
    EXPECT_TRUE(FormatRegFile(keys, &text, &error));
    return text;
}

}  // namespace

// Readers take a profile's values by position: whatever order a file lists them in, they
// are stored in the program's order, so nothing is read under another value's name.
TEST(ImportOrder, KnownValuesAreStoredInTheProgramsOrder) {
    std::vector<Line> alphabetical = kHome;
    std::sort(alphabetical.begin(), alphabetical.end(),
              [](const Line& a, const Line& b) { return std::string(a.name) < b.name; });
    std::vector<Line> reversed(kHome.rbegin(), kHome.rend());
    std::vector<Line> spidFirst = kHome;
    std::swap(spidFirst[2], spidFirst[3]);
    for (const auto& order : {kHome, alphabetical, reversed, spidFirst}) {
        zo::test::TestStore store;
        ASSERT_TRUE(Import(File("PCCARD\\Home", order)).Ok());
        Profile p = ReadProfile("Home").Value();
        ASSERT_EQ(p.storedCount, kHome.size()) << order.front().name;
        for (std::size_t i = 0; i < kHome.size(); ++i) {
            EXPECT_EQ(p.At(i), kHome[i].data)
                << kProfileValueNames[i] << " after " << order.front().name;
        }
    }
}

TEST(ImportOrder, AFileUpdatingSomeValuesKeepsTheRestInPlace) {
    zo::test::TestStore store;
    ASSERT_TRUE(Import(File("PCCARD\\Home", kHome)).Ok());
    ASSERT_TRUE(Import(File("PCCARD\\HOME", {{"SPID2", "1"}, {"Phone1", "2"}})).Ok());
    Profile p = ReadProfile("Home").Value();
    EXPECT_EQ(p.At(kLocation), "Home");
    EXPECT_EQ(p.At(kPhone1), "2");
    EXPECT_EQ(p.At(kSpid1), "20655501000101");
    EXPECT_EQ(p.At(kSpid2), "1");
    EXPECT_EQ(p.storedCount, 12u);
}

TEST(ImportOrder, AProfileThatCouldNotBeReadBackAsWrittenIsRefusedWithItsLine) {
    struct Case {
        std::vector<Line> values;
        int line;
    };
    for (const Case& c : {
             // No SPID1: the port would be read as the SPID.
             Case{{{"Location", "Home"}, {"Switch", "x"}, {"Phone1", "1"}, {"Port", "COM4"}}, 3},
             // A value readers know nothing of would stand at a position they read.
             Case{{{"Location", "Home"}, {"Extra", "x"}}, 5},
             Case{{{"Location", "Home"}, {"", "default"}}, 5},
         }) {
        zo::test::TestStore store;
        std::string text = File("PCCARD\\Home", c.values);
        if (c.values[1].name[0] == '\0') {
            text = "REGEDIT4\n\n" + kKey + "PCCARD\\Home]\n\"Location\"=\"Home\"\n@=\"default\"\n";
        }
        StoreResult r = Import(text);
        EXPECT_EQ(r.status, StoreStatus::Invalid) << text;
        EXPECT_EQ(r.line, c.line) << r.text;
        EXPECT_TRUE(ListProfileNames().Value().empty());
    }
}

// What nothing in the program can reach, undo or show safely never gets into the store;
// the store is left exactly as it was.
TEST(ImportRefusals, KeysValuesAndRecordsTheProgramCouldNotUndo) {
    struct Case {
        const char* what;
        std::string text;
        int line;
    };
    const std::string head = "REGEDIT4\n\n";
    const std::vector<Case> cases{
        {"key below a profile", head + kKey + "PCCARD\\Work\\Sub]\n", 3},
        {"key below an applied record", head + kKey + "CURRENT\\Home\\Sub]\n", 3},
        {"key below a record of another profile", head + kKey + "CURRENT\\Work\\Sub]\n", 3},
        {"value under CURRENT", head + kKey + "CURRENT]\n\"x\"=\"y\"\n", 4},
        {"value under an applied record", head + kKey + "CURRENT\\Home]\n@=\"y\"\n", 4},
        {"record naming no profile", head + kKey + "CURRENT\\Nobody]\n", 3},
        {"record naming an empty key",
         head + kKey + "PCCARD\\Empty]\n" + kKey + "CURRENT\\Empty]\n", 4},
        {"escape in a key name", head + kKey + "PCCARD\\Evil\x1b]0;x\x07]\n", 3},
        {"carriage return in a value", head + kKey + "PCCARD\\Home]\n\"Location\"=\"Ho\rme\"\n", 4},
        {"C1 control in a value name",
         head + kKey +
             "Other]\n\"a\xC2\x9B"
             "b\"=\"c\"\n",
         4},
        {"tab in a value", head + kKey + "PCCARD\\Home]\n\"Phone1\"=\"1\t2\"\n", 4},
    };
    for (const Case& c : cases) {
        zo::test::TestStore store;
        ASSERT_TRUE(Import(File("PCCARD\\Home", kHome) + kKey + "CURRENT\\Home]\n").Ok());
        const std::string before = Export();
        StoreResult r = Import(c.text);
        EXPECT_EQ(r.status, StoreStatus::Invalid) << c.what;
        EXPECT_EQ(r.line, c.line) << c.what << ": " << r.text;
        EXPECT_EQ(Export(), before) << c.what;
        // The store still works: a later import of a plain profile goes through.
        EXPECT_TRUE(Import(File("PCCARD\\Work", {{"Location", "Work"}})).Ok()) << c.what;
    }
}

TEST(ImportRefusals, AnAppliedRecordMayNameAProfileOfTheFileOrTheStoreInAnyCase) {
    zo::test::TestStore store;
    ASSERT_TRUE(Import(File("PCCARD\\Home", kHome)).Ok());
    EXPECT_TRUE(Import("REGEDIT4\n" + kKey + "CURRENT\\HOME]\n").Ok());
    EXPECT_EQ(ActiveProfileName().Value(), "HOME");
    EXPECT_TRUE(IsActiveProfile("Home").Value());
    EXPECT_TRUE(Import("REGEDIT4\n" + kKey + "CURRENT\\Work]\n" + kKey +
                       "PCCARD\\Work]\n\"Location\"=\"Work\"\n")
                    .Ok());
    EXPECT_EQ(ActiveProfileName().Value(), "Work");
}

// The registry counts characters of a name, not the bytes of their encoding.
TEST(KeyNameLimits, CountCharactersAsTheRegistryDoes) {
    std::string e255, e256;
    for (int i = 0; i < 255; ++i) {
        e255 += "\xC3\xA9";  // é: one character, two bytes
    }
    e256 = e255 + "\xC3\xA9";
    EXPECT_EQ(zo::registry::RegistryLength(e255), 255u);
    EXPECT_EQ(zo::registry::RegistryLength("\xF0\x9F\x93\x9E"), 2u) << "a surrogate pair";
    EXPECT_EQ(zo::registry::RegistryLength("\xFF\xC3"), 2u) << "stray bytes count one each";
    EXPECT_TRUE(IsStorableName(e255));
    EXPECT_FALSE(IsStorableName(e256));

    zo::test::TestStore store;
    ASSERT_TRUE(Import(File("PCCARD\\" + e255, {{"Location", "x"}})).Ok());
    EXPECT_EQ(ListProfileNames().Value(), std::vector<std::string>{e255});
    RegParseResult tooLong = ParseRegFile(File("PCCARD\\" + e256, {{"Location", "x"}}));
    EXPECT_FALSE(tooLong.ok);
    EXPECT_EQ(tooLong.errorLine, 3);
}

// What profiles, show and identify print: text stays as it is, anything a terminal would
// act on is written out.
TEST(ControlCharacters, AreFoundAndWrittenOutWhileTextStaysAsItIs) {
    EXPECT_EQ(EscapeControlCharacters("Caf\xC3\xA9 \xF0\x9F\x93\x9E \\ ok"),
              "Caf\xC3\xA9 \xF0\x9F\x93\x9E \\ ok");
    EXPECT_EQ(EscapeControlCharacters("a\x1b[2Jb\x7f\r\n"), "a\\x1b[2Jb\\x7f\\x0d\\x0a");
    EXPECT_EQ(EscapeControlCharacters("\xC2\x9B"
                                      "31m"),
              "\\xc2\\x9b31m")
        << "C1 escape introducer";
    EXPECT_EQ(EscapeControlCharacters("\x9B"
                                      "31m\xE2\x82"),
              "\\x9b31m\\xe2\\x82")
        << "stray bytes";
    EXPECT_FALSE(HasControlCharacters("National ISDN-1 (NI-1) \xC3\xA9"));
    for (const char* bad : {"\t", "a\x1b", "\x7f", "\xC2\x85", "\xFF"}) {
        EXPECT_TRUE(HasControlCharacters(bad)) << EscapeControlCharacters(bad);
    }
}
