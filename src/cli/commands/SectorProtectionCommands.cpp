// MXIC 29F040 sector protection: protect-status, protect SECTOR, unprotect. Like the window's
// buttons they skip the hardware check; protect and unprotect read the status first, as the
// window's buttons wait for the status button.
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "algorithms/parallel/Mx29F040Protect.h"
#include "cli/CommandTable.h"
#include "cli/Session.h"
#include "core/RunFrame.h"

namespace tavrin::cli {

namespace {

constexpr int32_t kMx29F040Family = 27;

bool offered(Session& s, const std::string& command) {
    if (s.ctx().profile.eep == kMx29F040Family) return true;
    Session::complain(kExitUsage,
                      "'" + command + "' is for the MX29F040 only, not " + s.device()->caption);
    return false;
}

void printGrid(Session& session, const MxicSectorGrid& grid, const std::vector<uint8_t>& status) {
    if (session.json()) {
        nlohmann::ordered_json sectors = nlohmann::json::array();
        for (int s = 0; s < kMxicSectors; ++s)
            sectors.push_back({{"sector", s},
                               {"start", Format("0x%05X", uint32_t(s) * kMxicSectorBytes)},
                               {"end", Format("0x%05X", uint32_t(s + 1) * kMxicSectorBytes - 1)},
                               {"status", status[size_t(s)]},
                               {"protected", status[size_t(s)] == 1}});
        session.report().fields()["sectors"] = sectors;  // part of the result object
        return;
    }
    for (const std::string& row : grid.rows) std::cout << row << '\n';
}

// Runs `button` after a status read, then prints the grid as the window shows it.
int withGrid(Session& s, const std::string& command,
             const std::function<void(Context&, MxicSectorGrid&)>& button) {
    if (!offered(s, command)) return kExitUsage;
    Context& ctx = s.ctx();
    MxicSectorGrid grid;
    std::vector<uint8_t> status;
    const int result = s.runAction([&] {
        sbMXICF29SecStatusClick(ctx, grid);
        if (button) button(ctx, grid);
        for (int i = 0; i < kMxicSectors; ++i)
            status.push_back(ReadSectorProtect(ctx, uint32_t(i) * kMxicSectorBytes + 2));
        // A status other than 0 or 1 is no answer of the part (an empty socket reads 255).
        if (!button)
            for (uint8_t st : status)
                if (st > 1) {
                    Message(ctx, "Protect/Unprotect status error !", MessageKind::Error);
                    break;
                }
    });
    printGrid(s, grid, status);
    return result;
}

}  // namespace

void AddSectorProtectionCommands(CommandTable& table) {
    table.add("protect-status", "MX29F040: the protection status of its eight sectors",
              Needs::Device, [](Session& s) { return withGrid(s, "protect-status", nullptr); });
    auto sector = std::make_shared<int>(0);
    table
        .add("protect", "MX29F040: protect sector SECTOR (0-7, 64 KB each)", Needs::Device,
             [sector](Session& s) {
                 return withGrid(s, "protect", [sector](Context& ctx, MxicSectorGrid& grid) {
                     grid.selectedRow = *sector + 1;
                     sbMXICF29SecProtClick(ctx, grid);
                 });
             })
        ->add_option("SECTOR", *sector, "sector number")
        ->required()
        ->check(CLI::Range(0, kMxicSectors - 1));
    table.add("unprotect", "MX29F040: unprotect every sector (protecting the others first)",
              Needs::Device, [](Session& s) {
                  return withGrid(s, "unprotect", [](Context& ctx, MxicSectorGrid& grid) {
                      sbMXICF29ChipUnprtClick(ctx, grid);
                  });
              });
}

}  // namespace tavrin::cli
