#include "hardware/PortDiscovery.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tavrin {

namespace {

namespace fs = std::filesystem;

std::string firstLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    return line;
}

std::string userName(uid_t uid) {
    if (const passwd* pw = ::getpwuid(uid)) return pw->pw_name;
    return std::to_string(uid);
}

std::string groupName(gid_t gid) {
    if (const group* gr = ::getgrgid(gid)) return gr->gr_name;
    return std::to_string(gid);
}

std::string whyNotText(int error, const ParallelPortInfo& p) {
    std::string text = std::strerror(error);
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", p.mode);
    if (error == EACCES || error == EPERM)
        text += ": " + p.node + " is " + p.owner + ":" + p.group + " " + mode +
                "; add the user to group " + p.group + " (sudo usermod -aG " + p.group +
                " $USER) and log in again";
    else if (error == ENXIO || error == ENODEV)
        text += ": the node has no port behind it (is parport_pc loaded?)";
    else if (error == EBUSY)
        text += ": another program holds the port";
    return text;
}

}  // namespace

int ProbeOpen(const std::string& node) {
    // ppdev claims the port only on PPCLAIM: opening and closing leaves the lines alone.
    const int fd = ::open(node.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno;
    ::close(fd);
    return 0;
}

std::vector<ParallelPortInfo> DiscoverParallelPorts(const std::string& root,
                                                    const OpenProbe& probe) {
    std::vector<ParallelPortInfo> ports;
    std::error_code ec;
    const fs::path dev = fs::path(root.empty() ? "/" : root) / "dev";
    for (const auto& entry : fs::directory_iterator(dev, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("parport", 0) != 0 || name.size() == 7) continue;
        if (!std::all_of(name.begin() + 7, name.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        ParallelPortInfo p;
        p.node = "/dev/" + name;
        p.number = std::stoi(name.substr(7));
        struct stat st {};
        if (::stat(entry.path().c_str(), &st) == 0) {
            p.owner = userName(st.st_uid);
            p.group = groupName(st.st_gid);
            p.mode = st.st_mode & 07777;
        }
        const fs::path sys = fs::path(root.empty() ? "/" : root) / "proc/sys/dev/parport" / name;
        std::istringstream bases(firstLine(sys / "base-addr"));
        uint32_t value = 0;
        if (bases >> value) p.base = value;
        if (bases >> value) p.baseHigh = value;
        p.modes = firstLine(sys / "modes");
        p.active = firstLine(sys / "devices/active");
        for (const auto& d : fs::directory_iterator(sys / "devices", ec))
            if (d.is_directory()) p.drivers.push_back(d.path().filename().string());
        std::sort(p.drivers.begin(), p.drivers.end());
        const int error = probe(entry.path().string());
        p.openable = error == 0;
        if (!p.openable) p.whyNot = whyNotText(error, p);
        ports.push_back(std::move(p));
    }
    std::sort(ports.begin(), ports.end(), [](const ParallelPortInfo& a, const ParallelPortInfo& b) {
        return a.number < b.number;
    });
    return ports;
}

std::string DescribePort(const ParallelPortInfo& p) {
    char base[40] = "base unknown";
    if (p.base && p.baseHigh)
        std::snprintf(base, sizeof base, "0x%03X (upper 0x%03X)", *p.base, *p.baseHigh);
    else if (p.base)
        std::snprintf(base, sizeof base, "0x%03X", *p.base);
    std::string text = p.node + "  " + base;
    if (!p.modes.empty()) text += "  " + p.modes;
    text += "  held by: " + (p.active.empty() ? std::string("unknown") : p.active);
    if (!p.drivers.empty()) {
        text += " (drivers:";
        for (const std::string& d : p.drivers) text += " " + d;
        text += ")";
    }
    text += p.openable ? "  open: yes" : "  open: no, " + p.whyNot;
    return text;
}

}  // namespace tavrin
