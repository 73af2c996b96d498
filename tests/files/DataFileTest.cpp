#include "platform/files/DataFile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

namespace fs = std::filesystem;
using zo::files::DataFilePath;
using zo::files::DataFolders;
using zo::files::FindDataFile;

namespace {

// A temporary folder laid out as an installed prefix: bin/, share/zo-config/, and a
// folder to start in.
class Prefix {
public:
    Prefix() {
        std::string pattern = (fs::temp_directory_path() / "zo-datafile-XXXXXX").string();
        root = mkdtemp(pattern.data());
        fs::create_directories(Bin());
        fs::create_directories(Share());
        fs::create_directories(Work());
    }
    ~Prefix() {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    fs::path Bin() const { return root / "bin"; }
    fs::path Share() const { return root / "share" / "zo-config"; }
    fs::path Work() const { return root / "work"; }
    fs::path Program() const { return Bin() / "zo-config"; }
    static void Put(const fs::path& file) { std::ofstream(file) << "x"; }

    fs::path root;
};

}  // namespace

TEST(DataFile, CurrentDirectoryThenInstalledFolderThenProgramFolder) {
    for (int present = 1; present < 8; ++present) {  // every mix of the three places
        Prefix p;
        const auto folders = DataFolders(p.Work(), p.Program());
        if (present & 1)
            Prefix::Put(p.Work() / "globe.avi");
        if (present & 2)
            Prefix::Put(p.Share() / "globe.avi");
        if (present & 4)
            Prefix::Put(p.Bin() / "globe.avi");
        const fs::path expected = (present & 1)   ? p.Work() / "globe.avi"
                                  : (present & 2) ? p.Share() / "globe.avi"
                                                  : p.Bin() / "globe.avi";
        EXPECT_EQ(FindDataFile("globe.avi", folders), expected) << "mix " << present;
    }
}

TEST(DataFile, MissingEverywhereNamesTheCurrentDirectory) {
    Prefix p;
    // A folder of that name, or a file of another name, is not the file.
    fs::create_directories(p.Share() / "ksfxzo.hlp");
    Prefix::Put(p.Bin() / "ksfxzo.txt");
    EXPECT_EQ(FindDataFile("ksfxzo.hlp", DataFolders(p.Work(), p.Program())),
              p.Work() / "ksfxzo.hlp");
    EXPECT_EQ(FindDataFile("ksfxzo.hlp", {}), fs::path("ksfxzo.hlp"));
}

TEST(DataFile, InstalledFolderFollowsThePrefixAndAnUnknownProgramLeavesTheCurrentDirectory) {
    EXPECT_EQ(DataFolders("/home/u", "/usr/local/bin/zo-config"),
              (std::vector<fs::path>{"/home/u", "/usr/local/share/zo-config", "/usr/local/bin"}));
    EXPECT_EQ(DataFolders("/home/u", ""), std::vector<fs::path>{"/home/u"});
}

TEST(DataFile, ThisProcessLooksInItsCurrentDirectoryFirst) {
    Prefix p;
    const fs::path before = fs::current_path();
    fs::current_path(p.Work());
    const std::string missing = DataFilePath("zo-no-such-file.hlp");
    Prefix::Put(p.Work() / "zo-here.hlp");
    const std::string here = DataFilePath("zo-here.hlp");
    fs::current_path(before);
    EXPECT_EQ(missing, (p.Work() / "zo-no-such-file.hlp").string());
    EXPECT_EQ(here, (p.Work() / "zo-here.hlp").string());
}
