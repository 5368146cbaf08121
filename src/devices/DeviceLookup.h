#pragma once
// Device names as users type them, for the command line and the window's search box alike.
//
// Stages, each tried only when the one before found nothing:
//  1. exact captions and part names, including the variants a caption lists
//     ("27C010/1000/1001" answers to 27C1000 and 27C1001, "39SF/49F010" to 39SF010);
//  2. captions with an `x` wildcard ("25x640" answers to 25C640, "W27x512" to W27C512);
//  3. the same after a common maker prefix (M27C256, AM27C256, NM27C256 find 27C256), never
//     when the catalogue has rows of that maker's own family (W27C, AT28C, AT29C, AT49F, MX29F);
//  4. captions that contain the text.
// A single usable row is chosen; entries the menu shows disabled or that do nothing are refused.

#include <string>
#include <vector>

#include "devices/Catalogue.h"

namespace tavrin {

struct DeviceLookup {
    enum class Kind {
        Found,      // `entry` may be selected
        Refused,    // `entry` is disabled or does nothing; `message` says so
        Ambiguous,  // several usable rows in `candidates`; `message` says how to pick one
        Unknown,    // nothing fits; `candidates` are the nearest entries
    };
    Kind kind = Kind::Unknown;
    const DeviceEntry* entry = nullptr;
    std::vector<const DeviceEntry*> candidates;
    std::string message;
};

DeviceLookup LookUpDevice(const std::string& name);

// Whether `caption` answers to `name` by stages 1 and 2 (its names, variants and wildcards).
bool CaptionAnswersTo(const std::string& caption, const std::string& name);
// The names a caption answers to exactly: its part name and the variants it lists, upper case.
std::vector<std::string> CaptionNames(const std::string& caption);

}  // namespace tavrin
