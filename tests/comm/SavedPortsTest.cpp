#include "platform/comm/SavedPorts.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/comm/MachinePorts.h"
#include "platform/comm/PortMap.h"
#include "support/ProgramRun.h"
#include "support/TempWorkDir.h"

namespace zo::comm {
namespace {

namespace fs = std::filesystem;

TEST(SavedPorts, AHandEditedFileIsReadAndKeptWhenOnePortChanges) {
    test::TempWorkDir dir;
    const std::string file = dir.File("cfg/zo-config/ports");
    std::vector<PortAssignment> ports;
    std::vector<std::string> warnings;
    std::string error;
    ASSERT_TRUE(ReadSavedPorts(file, &ports, &warnings, &error)) << "no file: the defaults";
    EXPECT_TRUE(ports.empty());

    fs::create_directories(dir.File("cfg/zo-config"));
    std::ofstream(file) << "# my card\n  com2 = /dev/ttyUSB0 \nCOM9=/dev/ttyS8\nCOM3=ttyS4\n"
                           "nonsense\n\nCOM2=/dev/ttyUSB1\nCOM4=/dev/serial/by-id/usb-X\r\n";
    ASSERT_TRUE(ReadSavedPorts(file, &ports, &warnings, &error)) << error;
    EXPECT_EQ(ports, (std::vector<PortAssignment>{{"COM2", "/dev/ttyUSB1"},
                                                  {"COM4", "/dev/serial/by-id/usb-X"}}))
        << "a later line wins; CR ends a line";
    ASSERT_EQ(warnings.size(), 3u);
    EXPECT_EQ(warnings[0], file + ":3: \"COM9\" is not one of COM1-COM4");
    EXPECT_EQ(warnings[1], file + ":4: the device of COM3 must be an absolute path");
    EXPECT_EQ(warnings[2], file + ":5: expected COMn=DEVICE");

    ASSERT_TRUE(SaveSavedPort(file, "com2", "/dev/ttyACM0", &error)) << error;
    const std::string text = test::Slurp(file);
    EXPECT_EQ(text.find("/dev/ttyUSB"), std::string::npos) << "both old COM2 lines went";
    EXPECT_NE(text.find("# my card\n"), std::string::npos);
    EXPECT_NE(text.find("nonsense\n"), std::string::npos) << "a person's line is theirs";
    EXPECT_NE(text.find("COM2=/dev/ttyACM0\n"), std::string::npos);
    ASSERT_TRUE(SaveSavedPort(file, "COM4", "", &error));
    ASSERT_TRUE(ReadSavedPorts(file, &ports, nullptr, &error));
    EXPECT_EQ(ports, (std::vector<PortAssignment>{{"COM2", "/dev/ttyACM0"}}));
    EXPECT_FALSE(fs::exists(file + ".new"));
    EXPECT_FALSE(SaveSavedPort(file, "LPT1", "/dev/ttyS0", &error));
}

TEST(SavedPorts, TheMapSavesOnlyACharacterDeviceAndChangesNothingOtherwise) {
    test::TempWorkDir dir;
    PortMap map = PortMap::Defaults();
    std::string error;
    EXPECT_FALSE(map.SavePort("COM2", "/dev/null", &error)) << "no settings file in this run";
    map.SetSavedPortsFile(dir.File("ports"));
    for (const std::string bad : {"/etc/passwd", "/nonexistent/ttyUSB0", "ttyUSB0"}) {
        EXPECT_FALSE(map.SavePort("COM2", bad, &error)) << bad;
        EXPECT_NE(error.find(bad), std::string::npos) << error;
    }
    EXPECT_FALSE(fs::exists(dir.File("ports")));
    EXPECT_EQ(map.PathOf("COM2"), "/dev/ttyS1");
    EXPECT_EQ(map.SourceOf("COM2"), PortSource::Default);

    ASSERT_TRUE(map.SavePort("com2", "/dev/null", &error)) << error;
    EXPECT_EQ(map.PathOf("COM2"), "/dev/null");
    EXPECT_EQ(map.SourceOf("COM2"), PortSource::Saved);
    ASSERT_TRUE(map.SavePort("COM2", "", &error)) << error;
    EXPECT_EQ(map.PathOf("COM2"), "/dev/ttyS1");
    EXPECT_EQ(map.SourceOf("COM2"), PortSource::Default);
}

TEST(MachinePorts, UartsAdaptersThenStableNamesInNaturalOrder) {
    test::TempWorkDir dir;
    const std::string dev = dir.File("dev"), sys = dir.File("sys");
    fs::create_directories(dev + "/serial/by-id");
    for (const char* name : {"ttyS0", "ttyS1", "ttyS10", "ttyS2", "ttyUSB0", "ttyACM1", "tty0"}) {
        std::ofstream(dev + "/" + name) << "";
    }
    for (auto [name, type] :
         {std::pair{"ttyS0", "4"}, {"ttyS1", "0"}, {"ttyS10", "4"}, {"ttyS2", "4"}}) {
        fs::create_directories(sys + "/class/tty/" + name);
        std::ofstream(sys + "/class/tty/" + name + "/type") << type << "\n";
    }
    fs::create_symlink("../../ttyUSB0", dev + "/serial/by-id/usb-Kest_ZO-if00");
    const auto ports = ListMachinePorts(dev, sys);
    std::vector<std::string> paths;
    for (const auto& p : ports) {
        paths.push_back(p.path);
        EXPECT_TRUE(p.usable) << p.path << p.why;
    }
    EXPECT_EQ(paths, (std::vector<std::string>{dev + "/ttyS0", dev + "/ttyS2", dev + "/ttyS10",
                                               dev + "/ttyACM1", dev + "/ttyUSB0",
                                               dev + "/serial/by-id/usb-Kest_ZO-if00"}));
    EXPECT_EQ(ports.back().target, fs::canonical(dev + "/ttyUSB0").string());

    if (::geteuid() != 0) {
        ::chmod((dev + "/ttyUSB0").c_str(), 0);
        const auto again = ListMachinePorts(dev, sys);
        EXPECT_FALSE(again[4].usable);
        EXPECT_FALSE(again[4].why.empty());
    }
}

}  // namespace
}  // namespace zo::comm
