#pragma once
// What the machine offers as parallel ports: the ppdev nodes, the kernel's base addresses and
// modes, which driver holds each port, and whether this user may open it (and why not).
//
//   for (const ParallelPortInfo& port : DiscoverParallelPorts()) puts(DescribePort(port).c_str());

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tavrin {

struct ParallelPortInfo {
    std::string node;                  // "/dev/parport0"
    int number = -1;                   // N of parportN
    std::optional<uint32_t> base;      // the kernel's base address (base-addr, first value)
    std::optional<uint32_t> baseHigh;  // the ECP upper registers (base-addr, second value)
    std::string modes;                 // "PCSPP,TRISTATE,EPP"; empty when the kernel tells none
    std::string active;                // the driver that holds the port now; "none" when free
    std::vector<std::string> drivers;  // drivers registered with the port ("lp", "ppdev0")
    std::string owner, group;          // of the node
    uint32_t mode = 0;                 // permission bits of the node
    bool openable = false;
    std::string whyNot;  // why this user cannot open it; empty when it can
};

// errno of opening `node` for reading and writing (0 when it opens); the default really tries.
using OpenProbe = std::function<int(const std::string& node)>;
int ProbeOpen(const std::string& node);

// The ports under `root` ("" for this machine; tests give a folder holding dev/ and proc/).
std::vector<ParallelPortInfo> DiscoverParallelPorts(const std::string& root = "",
                                                    const OpenProbe& probe = ProbeOpen);

// One line for people: "/dev/parport0  0x378 (0x778)  SPP,...  held by: none  open: yes".
std::string DescribePort(const ParallelPortInfo& port);
// What to say when there is none.
inline constexpr const char* kNoParallelPort =
    "no parallel port: no /dev/parport* node (load the parport_pc and ppdev modules; "
    "USB printer adapters do not give one)";

}  // namespace tavrin
