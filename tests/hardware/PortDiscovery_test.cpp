// Port discovery against a made-up machine: ppdev nodes, the kernel's parport entries, and the
// reasons a port cannot be opened.
#include "hardware/PortDiscovery.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

namespace tavrin::test {
namespace {

namespace fs = std::filesystem;

class PortDiscovery : public ::testing::Test {
  protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("tavrin-ports-" + std::to_string(::getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "dev");
    }
    void TearDown() override { fs::remove_all(root); }
    void file(const fs::path& path, const std::string& text) {
        fs::create_directories(path.parent_path());
        std::ofstream(path) << text;
    }
    fs::path root;
};

TEST_F(PortDiscovery, ListsNodesWithBaseDriverAndAccess) {
    file(root / "dev/parport1", "");
    file(root / "dev/parport0", "");
    file(root / "dev/parportx", "");  // not a port node
    const fs::path sys = root / "proc/sys/dev/parport";
    file(sys / "parport0/base-addr", "888\t1912\n");
    file(sys / "parport0/modes", "PCSPP,TRISTATE,EPP\n");
    file(sys / "parport0/devices/active", "lp\n");
    fs::create_directories(sys / "parport0/devices/lp");
    fs::create_directories(sys / "parport0/devices/ppdev0");
    file(sys / "parport1/base-addr", "632\n");
    file(sys / "parport1/devices/active", "none\n");
    const auto probe = [](const std::string& node) {
        return node.find("parport1") != std::string::npos ? EACCES : 0;
    };
    const auto ports = DiscoverParallelPorts(root.string(), probe);
    ASSERT_EQ(ports.size(), 2u);
    EXPECT_EQ(ports[0].node, "/dev/parport0");
    EXPECT_EQ(ports[0].base, 0x378u);
    EXPECT_EQ(ports[0].baseHigh, 0x778u);
    EXPECT_EQ(ports[0].active, "lp");
    EXPECT_EQ(ports[0].drivers, (std::vector<std::string>{"lp", "ppdev0"}));
    EXPECT_TRUE(ports[0].openable);
    EXPECT_EQ(DescribePort(ports[0]),
              "/dev/parport0  0x378 (upper 0x778)  PCSPP,TRISTATE,EPP  held by: lp (drivers: lp "
              "ppdev0)  open: yes");
    EXPECT_EQ(ports[1].base, 0x278u);
    EXPECT_FALSE(ports[1].baseHigh);
    EXPECT_FALSE(ports[1].openable);
    EXPECT_NE(ports[1].whyNot.find("Permission denied"), std::string::npos) << ports[1].whyNot;
    EXPECT_NE(ports[1].whyNot.find("add the user to group"), std::string::npos) << ports[1].whyNot;
    EXPECT_NE(DescribePort(ports[1]).find("held by: none"), std::string::npos);
}

TEST_F(PortDiscovery, NodeWithoutKernelEntryAndNoDeviceBehindIt) {
    file(root / "dev/parport3", "");
    const auto ports =
        DiscoverParallelPorts(root.string(), [](const std::string&) { return ENXIO; });
    ASSERT_EQ(ports.size(), 1u);
    EXPECT_FALSE(ports[0].base);
    EXPECT_NE(DescribePort(ports[0]).find("base unknown"), std::string::npos);
    EXPECT_NE(ports[0].whyNot.find("parport_pc"), std::string::npos) << ports[0].whyNot;
}

TEST_F(PortDiscovery, NoNodesGiveAnEmptyList) {
    EXPECT_TRUE(DiscoverParallelPorts(root.string()).empty());
    EXPECT_TRUE(DiscoverParallelPorts((root / "missing").string()).empty());
}

TEST_F(PortDiscovery, RealProbeOpensAFileAndNamesAMissingOne) {
    file(root / "dev/parport0", "");
    EXPECT_EQ(ProbeOpen((root / "dev/parport0").string()), 0);
    EXPECT_EQ(ProbeOpen((root / "dev/parport9").string()), ENOENT);
}

}  // namespace
}  // namespace tavrin::test
