#include "cli/SimSession.h"

#include <fstream>

#include "sim/ChipFactory.h"
#include "sim/ChipFile.h"

namespace tavrin::cli {

bool SimSession::prepare(const Context& ctx, const std::string& deviceCaption,
                         const std::string& chipFile, const std::vector<std::string>& faults,
                         std::string& error) {
    chipFile_ = chipFile;
    deviceCaption_ = deviceCaption;
    board_.insert(MakeSimChip(ctx));
    if (!chipFile.empty()) {
        std::ifstream in(chipFile, std::ios::binary);
        if (in && !sim::RestoreChip(board_, in, deviceCaption, chipFile, error)) return false;
    }
    for (const std::string& fault : faults)
        if (!ApplySimFault(board_, fault, error)) return false;
    return true;
}

bool SimSession::save(std::string& error) const {
    return sim::SaveChip(board_, deviceCaption_, chipFile_, error);
}

}  // namespace tavrin::cli
