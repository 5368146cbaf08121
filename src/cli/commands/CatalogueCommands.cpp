// The catalogue commands: devices and info.
#include <iostream>
#include <memory>

#include "cli/CommandTable.h"
#include "cli/DeviceListing.h"
#include "cli/Session.h"

namespace tavrin::cli {

void AddCatalogueCommands(CommandTable& table) {
    auto text = std::make_shared<std::string>();
    table
        .add("devices", "list catalogue entries matching TEXT (--json for machine use)",
             Needs::Nothing,
             [text](Session& s) {
                 const auto entries = MatchDevices(*text);
                 std::cout << (s.options().json ? DevicesJson(entries) : DevicesTable(entries));
                 return entries.empty() && !text->empty() ? kExitUsage : kExitOk;
             })
        ->add_option("TEXT", *text, "part of a name, a family or a size (\"32K\")");
    table.add("info",
              "the selected device: family, size, package, adapter, address lines, DIP switches",
              Needs::Device, [](Session& s) {
                  const Options& o = s.options();
                  if (o.json)
                      s.report().fields().update(
                          nlohmann::ordered_json::parse(DeviceInfoJson(s.ctx(), *s.device())));
                  else
                      std::cout << DeviceInfoText(s.ctx(), *s.device(),
                                                  o.verbosity == Verbosity::Verbose);
                  return kExitOk;
              });
}

}  // namespace tavrin::cli
