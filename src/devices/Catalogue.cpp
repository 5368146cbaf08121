#include "devices/Catalogue.h"

#include <algorithm>
#include <cctype>
#include <deque>
#include <unordered_map>

#include "devices/Families.h"

namespace tavrin {

namespace {

MenuNode submenu(std::string caption, std::vector<MenuNode> children = {}, bool enabled = true) {
    MenuNode node;
    node.kind = MenuNode::Kind::Submenu;
    node.caption = std::move(caption);
    node.enabled = enabled;
    node.children = std::move(children);
    return node;
}

MenuNode separator() {
    MenuNode node;
    node.kind = MenuNode::Kind::Separator;
    return node;
}

// The order of the top of the device menu. Families fill the submenus by path; a submenu that no
// family fills is left out, and a path the outline lacks is added at the end of its parent.
std::vector<MenuNode> outline() {
    return {
        submenu("EPROM", {submenu("27Cxxx  "), submenu("27xxx")}),
        submenu("EPROM Electrical Erase",
                {submenu("Winbond 27E/27C"), submenu("SST27SFxxx"), submenu("MTP MX26Cx000")}),
        submenu("EEPROM", {submenu("28Cxxx"), submenu("AT28Cxxx")}),
        submenu("Flash 28Fxxx", {submenu("28Fxxx"), submenu("SST28xF0x0, 4001"),
                                 submenu("28Fx00    8/16bit"), submenu("MX28Fx000")}),
        submenu("Flash 29/39/49Fxxx",
                {submenu("Am29Fxxx"), submenu("39/49Fxxx"), submenu("MXIC 29Fxxx"),
                 submenu("29/49F00x"), submenu("29Fx00    8/16bit"), submenu("AT49Fxxxx 16Bit")}),
        submenu("Flash  AT29C/29EExxx"),
        submenu("MCS-51", {submenu("AT89C5x"), submenu("AT80Cx051")}),
        submenu("MCS-48/41"),
        submenu("AVR"),
        submenu("SRAM"),
        submenu("DS12xx"),
        separator(),
        submenu("PIC xxxxx"),
        submenu("24Cxxx"),
        submenu("93Cxx"),
        submenu("25Cxxx"),
        separator(),
        MenuNode{MenuNode::Kind::Leaf, " Request Adapter 3.3V", true, nullptr, {}},
        submenu("29VF/39LF/VF/49LFxxx"),
        submenu("AT29LVxxx", {}, false),
    };
}

MenuNode& findOrAddSubmenu(std::vector<MenuNode>& level, const std::string& caption) {
    for (MenuNode& node : level)
        if (node.kind == MenuNode::Kind::Submenu && node.caption == caption) return node;
    level.push_back(submenu(caption));
    return level.back();
}

// Drops submenus without leaves and separators that separate nothing.
void prune(std::vector<MenuNode>& level) {
    for (MenuNode& node : level)
        if (node.kind == MenuNode::Kind::Submenu) prune(node.children);
    std::erase_if(level, [](const MenuNode& n) {
        return n.kind == MenuNode::Kind::Submenu && n.children.empty();
    });
    std::vector<MenuNode> kept;
    for (MenuNode& node : level) {
        const bool sep = node.kind == MenuNode::Kind::Separator;
        if (sep && (kept.empty() || kept.back().kind == MenuNode::Kind::Separator)) continue;
        kept.push_back(std::move(node));
    }
    if (!kept.empty() && kept.back().kind == MenuNode::Kind::Separator) kept.pop_back();
    level = std::move(kept);
}

struct CatalogueData {
    MenuNode root;
    std::vector<DeviceEntry> entries;
};

// Leaves of the outline that are not devices get an entry that does nothing.
void addCaptionRows(std::vector<MenuNode>& level, std::vector<std::string>& path,
                    std::deque<DeviceEntry>& drafts) {
    for (MenuNode& node : level) {
        if (node.kind == MenuNode::Kind::Submenu) {
            path.push_back(node.caption);
            addCaptionRows(node.children, path, drafts);
            path.pop_back();
        } else if (node.kind == MenuNode::Kind::Leaf && node.entry == nullptr) {
            DeviceEntry& e = drafts.emplace_back();
            e.caption = node.caption;
            e.menuPath = path;
            e.selectable = false;
            node.entry = &e;
        }
    }
}

// Copies the entries in menu order and points the leaves at the copies.
void collect(MenuNode& node, bool parentsEnabled, std::vector<DeviceEntry>& out,
             std::unordered_map<const DeviceEntry*, size_t>& index) {
    for (MenuNode& child : node.children) {
        if (child.kind == MenuNode::Kind::Submenu) {
            collect(child, parentsEnabled && child.enabled, out, index);
        } else if (child.kind == MenuNode::Kind::Leaf) {
            DeviceEntry e = *child.entry;
            e.enabled = e.enabled && parentsEnabled;
            index[child.entry] = out.size();
            out.push_back(std::move(e));
        }
    }
}

void relink(MenuNode& node, const std::vector<DeviceEntry>& entries,
            const std::unordered_map<const DeviceEntry*, size_t>& index) {
    for (MenuNode& child : node.children) {
        if (child.kind == MenuNode::Kind::Submenu) relink(child, entries, index);
        if (child.kind == MenuNode::Kind::Leaf) child.entry = &entries[index.at(child.entry)];
    }
}

// What each selectable entry puts into a fresh profile, for listings. This runs while the
// catalogue is being built, so a handler must not look anything up in the catalogue.
void fillSelectionResults(std::vector<DeviceEntry>& entries) {
    Context scratch;
    for (DeviceEntry& e : entries) {
        const FamilyTable* family = FindFamilyByHandler(e.handler);
        if (!e.selectable || family == nullptr) continue;
        scratch.profile = DeviceProfile{};
        scratch.controls = OptionControls{};
        family->run(scratch, e.tag, e.caption);
        e.eep = scratch.profile.eep;
        e.size = scratch.profile.bufferSize;
    }
}

CatalogueData build() {
    CatalogueData data;
    data.root = submenu("Device", outline());
    std::deque<DeviceEntry> drafts;
    for (const FamilyTable* family : FamilyTables()) {
        for (const MenuEntrySpec& item : family->entries) {
            std::vector<MenuNode>* level = &data.root.children;
            for (const std::string& caption : item.path)
                level = &findOrAddSubmenu(*level, caption).children;
            DeviceEntry& e = drafts.emplace_back();
            e.caption = item.caption;
            e.menuPath = item.path;
            e.tag = item.tag;
            e.enabled = item.enabled;
            e.selectable = item.selectable && family->run != nullptr;
            e.handler = e.selectable ? family->handler : std::string();
            e.family = family->family;
            e.alsoKnownAs = item.alsoKnownAs;
            level->push_back(MenuNode{MenuNode::Kind::Leaf, item.caption, item.enabled, &e, {}});
        }
    }
    std::vector<std::string> path;
    addCaptionRows(data.root.children, path, drafts);
    prune(data.root.children);
    std::unordered_map<const DeviceEntry*, size_t> index;
    collect(data.root, true, data.entries, index);
    relink(data.root, data.entries, index);
    fillSelectionResults(data.entries);
    return data;
}

const CatalogueData& catalogue() {
    static const CatalogueData data = build();
    return data;
}

// Lower case, blanks collapsed to one, trimmed: how users type captions.
std::string fold(const std::string& text) {
    std::string out;
    bool blank = false;
    for (unsigned char c : text) {
        if (std::isspace(c)) {
            blank = !out.empty();
            continue;
        }
        if (blank) out += ' ';
        blank = false;
        out += static_cast<char>(std::tolower(c));
    }
    return out;
}

bool sameSelection(const std::vector<const DeviceEntry*>& found) {
    for (const DeviceEntry* e : found)
        if (e->handler != found.front()->handler || e->tag != found.front()->tag) return false;
    return !found.front()->handler.empty();
}

}  // namespace

const MenuNode& DeviceMenu() {
    return catalogue().root;
}

const std::vector<DeviceEntry>& DeviceCatalogue() {
    return catalogue().entries;
}

void SelectDevice(Context& ctx, const DeviceEntry& entry) {
    if (!entry.selectable) return;
    if (const FamilyTable* family = FindFamilyByHandler(entry.handler))
        family->run(ctx, entry.tag, entry.caption);
}

bool SelectByHandler(Context& ctx, const std::string& handler, int32_t tag) {
    const FamilyTable* family = FindFamilyByHandler(handler);
    if (family == nullptr) return false;
    std::string caption;
    for (const DeviceEntry& e : DeviceCatalogue())
        if (e.handler == handler && e.tag == tag) {
            caption = e.caption;
            break;
        }
    family->run(ctx, tag, caption);
    return true;
}

std::string NormalisePartName(const std::string& caption) {
    std::string bare;
    int depth = 0;
    for (char c : caption) {  // bracketed remarks ("(128)", "(N)") are not part of the name
        if (c == '(') {
            ++depth;
        } else if (c == ')' && depth > 0) {
            --depth;
            c = ' ';
        }
        bare += depth == 0 ? c : ' ';
    }
    size_t i = 0;
    while (i < bare.size()) {
        while (i < bare.size() && std::isspace(static_cast<unsigned char>(bare[i]))) ++i;
        size_t end = i;
        while (end < bare.size() && !std::isspace(static_cast<unsigned char>(bare[end]))) ++end;
        std::string token = bare.substr(i, end - i);
        while (!token.empty() && (token.back() == ',' || token.back() == ';')) token.pop_back();
        if (std::any_of(token.begin(), token.end(),
                        [](unsigned char c) { return std::isdigit(c); }))
            return token;
        i = end;
    }
    const size_t first = caption.find_first_not_of(" \t");
    return first == std::string::npos
               ? std::string()
               : caption.substr(first, caption.find_last_not_of(" \t") - first + 1);
}

const DeviceEntry* FindDevice(const std::string& name) {
    const std::string wanted = fold(name);
    if (wanted.empty()) return nullptr;
    std::vector<const DeviceEntry*> byCaption;
    for (const DeviceEntry& e : DeviceCatalogue())
        if (fold(e.caption) == wanted) byCaption.push_back(&e);
    if (byCaption.size() == 1) return byCaption.front();
    if (!byCaption.empty()) {
        for (const DeviceEntry* e : byCaption)
            if (e->caption == name) return e;
        return sameSelection(byCaption) ? byCaption.front() : nullptr;
    }
    const std::string part = fold(NormalisePartName(name));
    std::vector<const DeviceEntry*> byPart;
    for (const DeviceEntry& e : DeviceCatalogue()) {
        bool named = fold(NormalisePartName(e.caption)) == part;
        for (const std::string& alias : e.alsoKnownAs) named = named || fold(alias) == part;
        if (named) byPart.push_back(&e);
    }
    if (byPart.size() == 1 || (!byPart.empty() && sameSelection(byPart))) return byPart.front();
    if (!byPart.empty()) return nullptr;
    // Captions that list variants ("27C080/801", "W29EE512/C512") also answer to their first name.
    std::vector<const DeviceEntry*> byFirstName;
    for (const DeviceEntry& e : DeviceCatalogue()) {
        const std::string full = NormalisePartName(e.caption);
        const std::string first = full.substr(0, full.find_first_of("/,"));
        if (first.size() < full.size() && fold(first) == part) byFirstName.push_back(&e);
    }
    if (byFirstName.size() == 1 || (!byFirstName.empty() && sameSelection(byFirstName)))
        return byFirstName.front();
    return nullptr;
}

std::vector<const DeviceEntry*> FindCandidates(const std::string& text) {
    const std::string wanted = fold(text);
    std::vector<const DeviceEntry*> found;
    for (const DeviceEntry& e : DeviceCatalogue())
        if (fold(e.caption).find(wanted) != std::string::npos) found.push_back(&e);
    return found;
}

}  // namespace tavrin
