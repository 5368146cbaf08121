#include "cli/SimSession.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "sim/ChipFactory.h"

namespace tavrin::cli {

namespace {
const char* const kMagic = "tavrin-sim-chip 1";
}

bool RestoreChip(sim::SimBoard& board, std::istream& in, const std::string& deviceCaption,
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

bool SimSession::prepare(const Context& ctx, const std::string& deviceCaption,
                         const std::string& chipFile, const std::vector<std::string>& faults,
                         std::string& error) {
    chipFile_ = chipFile;
    deviceCaption_ = deviceCaption;
    board_.insert(MakeSimChip(ctx));
    if (!chipFile.empty()) {
        std::ifstream in(chipFile, std::ios::binary);
        if (in && !RestoreChip(board_, in, deviceCaption, chipFile, error)) return false;
    }
    for (const std::string& fault : faults)
        if (!ApplySimFault(board_, fault, error)) return false;
    return true;
}

bool SimSession::save(std::string& error) const {
    if (chipFile_.empty() || !board_.chip()) return true;
    const std::string temp = chipFile_ + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << kMagic << '\n' << deviceCaption_ << '\n';
        board_.chip()->saveState(out);
        out.flush();
        if (!out) {
            std::remove(temp.c_str());
            error = chipFile_ + ": cannot write the chip file";
            return false;
        }
    }
    if (std::rename(temp.c_str(), chipFile_.c_str()) != 0) {
        std::remove(temp.c_str());
        error = chipFile_ + ": cannot replace the chip file";
        return false;
    }
    return true;
}

}  // namespace tavrin::cli
