#include "sim/ChipFile.h"

#include <cstdio>
#include <fstream>

namespace tavrin::sim {

namespace {
const char* const kMagic = "tavrin-sim-chip 1";
}

bool RestoreChip(SimBoard& board, std::istream& in, const std::string& deviceCaption,
                 const std::string& name, std::string& error) {
    std::string magic, device;
    std::getline(in, magic);
    std::getline(in, device);
    if (magic != kMagic) {
        error = name + ": not a simulated chip file";
        return false;
    }
    if (device != deviceCaption) {
        error = name + " holds a " + device + ", not a " + deviceCaption;
        return false;
    }
    if (board.chip() && !board.chip()->loadState(in)) {
        error = name + ": damaged chip file";
        return false;
    }
    return true;
}

std::string ChipFileDevice(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string magic, device;
    if (!std::getline(in, magic) || magic != kMagic || !std::getline(in, device)) return {};
    return device;
}

bool SaveChip(const SimBoard& board, const std::string& deviceCaption, const std::string& path,
              std::string& error) {
    if (path.empty() || !board.chip()) return true;
    const std::string temp = path + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << kMagic << '\n' << deviceCaption << '\n';
        board.chip()->saveState(out);
        out.flush();
        if (!out) {
            std::remove(temp.c_str());
            error = path + ": cannot write the chip file";
            return false;
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        error = path + ": cannot replace the chip file";
        return false;
    }
    return true;
}

}  // namespace tavrin::sim
