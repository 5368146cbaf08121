// Choosing a port backend from text and falling back when it cannot be opened.
#include <gtest/gtest.h>

#include "core/PortSetup.h"

namespace tavrin {
namespace {

TEST(PortChoice, ParsesEveryBackend) {
    PortChoice c;
    std::string error;
    ASSERT_TRUE(ParsePortChoice("sim", c, error));
    EXPECT_EQ(c.kind, PortChoice::Kind::Simulated);
    ASSERT_TRUE(ParsePortChoice("ppdev:/dev/parport1", c, error));
    EXPECT_EQ(c.kind, PortChoice::Kind::Ppdev);
    EXPECT_EQ(c.device, "/dev/parport1");
    ASSERT_TRUE(ParsePortChoice("io:0x278", c, error));
    EXPECT_EQ(c.kind, PortChoice::Kind::DirectIo);
    EXPECT_EQ(c.base, 0x278);
    ASSERT_TRUE(ParsePortChoice("io", c, error));
    EXPECT_EQ(c.base, 0);
}

TEST(PortChoice, RefusesUnknownBackendsAndBases) {
    PortChoice c;
    std::string error;
    EXPECT_FALSE(ParsePortChoice("lpt9", c, error));
    EXPECT_NE(error.find("unknown port"), std::string::npos);
    EXPECT_FALSE(ParsePortChoice("io:0x3F8", c, error));  // a serial port: never written
    EXPECT_FALSE(ParsePortChoice("io:zz", c, error));
}

TEST(OpenPort, MissingNodeFallsBackToANullPortWithAReason) {
    PortChoice c;
    std::string error;
    ASSERT_TRUE(ParsePortChoice("ppdev:/nonexistent/parport7", c, error));
    OpenedPort opened = OpenPort(c, 0);
    ASSERT_TRUE(opened.port);
    EXPECT_FALSE(opened.port->isOpen());
    EXPECT_NE(opened.error.find("/nonexistent/parport7"), std::string::npos);
    EXPECT_EQ(opened.port->readStatus(), 0xFF);
    opened.port->writeControl(0x0C);  // dropped, never hangs
}

TEST(OpenPort, UsbPrinterNodesAreRefused) {
    PortChoice c;
    std::string error;
    ASSERT_TRUE(ParsePortChoice("ppdev:/dev/usb/lp0", c, error));
    OpenedPort opened = OpenPort(c, 0);
    EXPECT_FALSE(opened.port->isOpen());
    EXPECT_NE(opened.error.find("USB printer adapters cannot drive single lines"), std::string::npos);
}

TEST(OpenPort, SimulatedBoardIsTheDefault) {
    OpenedPort opened = OpenPort(PortChoice{}, 0);
    EXPECT_TRUE(opened.port->isOpen());
    EXPECT_EQ(opened.port->describe(), "sim");
    EXPECT_TRUE(opened.error.empty());
}

}  // namespace
}  // namespace tavrin
