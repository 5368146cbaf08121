#include "devices/Families.h"

#include "devices/families/ParallelFamilies.h"

namespace tavrin {

// A new family adds its table here. Within one submenu, entries appear in this order, so a family
// that shares a submenu with another comes after the one listed first in the menu.
const std::vector<const FamilyTable*>& FamilyTables() {
    static const std::vector<const FamilyTable*> all = {
        &UvEprom27CFamily(),   &UvEprom27Family(),  &Mx26cFamily(),        &ElectricalEraseEpromFamily(),
        &Eeprom28CFamily(),    &EepromAt28CFamily(), &Flash28FFamily(),    &FlashSst28SFFamily(),
        &FlashI28Fx00Family(), &FlashMx28FFamily(), &Flash29FFamily(),     &Flash29Fx00Family(),
        &Flash29F00xFamily(),  &FlashAt29CFamily(), &StaticRamFamily(),    &Ds12xxFamily(),
    };
    return all;
}

const FamilyTable* FindFamilyByHandler(const std::string& handler) {
    for (const FamilyTable* family : FamilyTables())
        if (family->run && family->handler == handler) return family;
    return nullptr;
}

}  // namespace tavrin
