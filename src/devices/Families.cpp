#include "devices/Families.h"

#include "devices/families/AvrFamily.h"
#include "devices/families/McuFamilies.h"
#include "devices/families/ParallelFamilies.h"
#include "devices/families/SerialFamilies.h"
#include "devices/families/PicFamily.h"

namespace tavrin {

// A new family adds its table here: a FamilyTable with the handler's name, the function that runs
// it (RunTableSelection over a TableHandler, or a handler of its own that follows the same
// sequence) and its menu entries. Submenus named in the menu outline of Catalogue.cpp keep their
// place; others are added at the end of their parent. Within one submenu, entries appear in the
// order of this list, so a family that shares a submenu comes after the one shown first.
const std::vector<const FamilyTable*>& FamilyTables() {
    static const std::vector<const FamilyTable*> all = {
        &UvEprom27CFamily(),   &UvEprom27Family(),
        &Mx26cFamily(),        &ElectricalEraseEpromFamily(),
        &Eeprom28CFamily(),    &EepromAt28CFamily(),
        &Flash28FFamily(),     &FlashSst28SFFamily(),
        &FlashI28Fx00Family(), &FlashMx28FFamily(),
        &Flash29FFamily(),     &Flash29Fx00Family(),
        &Flash29F00xFamily(),  &FlashAt29CFamily(),
        &StaticRamFamily(),    &Ds12xxFamily(),
        &Eeprom24CFamily(),    &Eeprom93CFamily(),    &Eeprom25CFamily(),
        &PicFamily(),
        &AvrFamily(),
        &Mcs51Family(),        &At89Cx051Family(),
        &Mcs48Family(),
    };
    return all;
}

const FamilyTable* FindFamilyByHandler(const std::string& handler) {
    for (const FamilyTable* family : FamilyTables())
        if (family->run && family->handler == handler) return family;
    return nullptr;
}

}  // namespace tavrin
