#include "devices/DeviceLookup.h"

#include <algorithm>
#include <cctype>

namespace tavrin {

namespace {

bool isDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}
bool isAlpha(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

std::string upper(std::string text) {
    for (char& c : text) c = char(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// Upper case without blanks, for comparing what users type.
std::string squeezed(const std::string& text) {
    std::string out;
    for (char c : text)
        if (!std::isspace(static_cast<unsigned char>(c)))
            out += char(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

size_t trailingDigits(const std::string& s) {
    size_t n = 0;
    while (n < s.size() && isDigit(s[s.size() - 1 - n])) ++n;
    return n;
}
size_t trailingLetters(const std::string& s) {
    size_t n = 0;
    while (n < s.size() && isAlpha(s[s.size() - 1 - n])) ++n;
    return n;
}
// Leading letters and the digits after them: "SST29LE010" -> "SST29".
std::string makerAndSeries(const std::string& s) {
    size_t i = 0;
    while (i < s.size() && isAlpha(s[i])) ++i;
    while (i < s.size() && isDigit(s[i])) ++i;
    return s.substr(0, i);
}

bool usable(const DeviceEntry* e) {
    return e->selectable && e->enabled;
}

bool sameSelection(const std::vector<const DeviceEntry*>& found) {
    for (const DeviceEntry* e : found)
        if (e->handler != found.front()->handler || e->tag != found.front()->tag) return false;
    return !found.front()->handler.empty();
}

// `name` against a caption name whose lower-case `x` stands for one or two letters.
bool wildcardMatch(const std::string& pattern, size_t p, const std::string& name, size_t n) {
    if (p == pattern.size()) return n == name.size();
    if (pattern[p] == 'x') {
        for (size_t k = 1; k <= 2 && n + k <= name.size(); ++k) {
            if (!isAlpha(name[n + k - 1])) break;
            if (wildcardMatch(pattern, p + 1, name, n + k)) return true;
        }
        return false;
    }
    return n < name.size() && std::toupper(static_cast<unsigned char>(pattern[p])) == name[n] &&
           wildcardMatch(pattern, p + 1, name, n + 1);
}

// The part name as written, with its case, so that a wildcard `x` stays recognisable.
std::string rawPartName(const std::string& caption) {
    const std::string part = NormalisePartName(caption);
    const size_t at = caption.find(part);
    return at == std::string::npos ? part : caption.substr(at, part.size());
}

bool hasWildcard(const std::string& raw) {
    for (size_t i = 0; i < raw.size(); ++i)
        if (raw[i] == 'x' && (i == 0 || !std::islower(static_cast<unsigned char>(raw[i - 1]))))
            return true;
    return false;
}

// Every variant of the raw part name with the wildcard kept: "W27x512", "SST29LE/VE010" -> both.
std::vector<std::string> rawVariants(const std::string& raw) {
    std::vector<std::string> tokens;
    size_t start = 0;
    for (size_t i = 0; i <= raw.size(); ++i)
        if (i == raw.size() || raw[i] == '/' || raw[i] == ',') {
            if (i > start) tokens.push_back(raw.substr(start, i - start));
            start = i + 1;
        }
    if (tokens.empty()) return {};
    std::vector<std::string> out{tokens.front()};
    const std::string& first = tokens.front();
    const std::string& last = tokens.back();
    for (size_t i = 1; i < tokens.size(); ++i) {
        const std::string& t = tokens[i];
        out.push_back(t);
        if (isDigit(t.front())) {
            // "27C010/1000": the digits replace the first name's number; "27C080/801" the same.
            out.push_back(first.substr(0, first.size() - trailingDigits(first)) + t);
            if (t.size() < first.size())
                out.push_back(first.substr(0, first.size() - t.size()) + t);
        } else {
            // "24C01A/B": letters replace the first name's trailing letters; "W29EE512/C512":
            // the letters and number after the series; "SST29LE/VE010": the series completes it.
            if (size_t letters = trailingLetters(first); letters > 0)
                out.push_back(first.substr(0, first.size() - letters) + t);
            out.push_back(makerAndSeries(first) + t);
        }
    }
    // "39SF/49F010": the names before the last take its number.
    if (const size_t digits = trailingDigits(last); digits > 0)
        for (size_t i = 0; i + 1 < tokens.size(); ++i)
            if (trailingDigits(tokens[i]) == 0)
                out.push_back(tokens[i] + last.substr(last.size() - digits));
    return out;
}

std::vector<const DeviceEntry*> exactMatches(const std::string& wanted) {
    // A name that is a whole caption ("AT49F001") takes that entry, even where another caption
    // ("AT49F001 (N)T") also answers to it.
    std::vector<const DeviceEntry*> whole, found;
    for (const DeviceEntry& e : DeviceCatalogue()) {
        if (squeezed(e.caption) == wanted) whole.push_back(&e);
        bool match = false;
        for (const std::string& v : CaptionNames(e.caption)) match = match || v == wanted;
        // Part names the caption does not spell ("AT82S8252" sold as the AT89S8252).
        for (const std::string& alias : e.alsoKnownAs) match = match || squeezed(alias) == wanted;
        if (match) found.push_back(&e);
    }
    return whole.empty() ? found : whole;
}

std::vector<const DeviceEntry*> wildcardMatches(const std::string& wanted) {
    std::vector<const DeviceEntry*> found;
    for (const DeviceEntry& e : DeviceCatalogue()) {
        const std::string raw = rawPartName(e.caption);
        if (!hasWildcard(raw)) continue;
        for (const std::string& v : rawVariants(raw))
            if (wildcardMatch(v, 0, wanted, 0)) {
                found.push_back(&e);
                break;
            }
    }
    return found;
}

// True when some catalogue name starts like `head` (wildcards counted): the maker has rows of
// its own there, so its prefix is part of the name.
bool catalogueHasSeries(const std::string& head) {
    for (const DeviceEntry& e : DeviceCatalogue())
        for (const std::string& v : rawVariants(rawPartName(e.caption))) {
            if (v.size() < head.size()) continue;
            for (size_t n = head.size(); n <= std::min(v.size(), head.size() + 1); ++n)
                if (wildcardMatch(v.substr(0, n), 0, head, 0)) return true;
        }
    return false;
}

constexpr const char* kMakerPrefixes[] = {"UPD", "TMS", "MBM", "MSM", "CAT", "SST", "AM", "AT",
                                          "MX",  "HN",  "NM",  "KM",  "HY",  "TC",  "ST", "M",
                                          "D",   "W",   "X",   "I",   "P",   "N"};

size_t editDistance(const std::string& a, const std::string& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t up = row[j];
            row[j] =
                std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = up;
        }
    }
    return row[b.size()];
}

std::vector<const DeviceEntry*> nearest(const std::string& wanted) {
    std::vector<std::pair<size_t, const DeviceEntry*>> scored;
    for (const DeviceEntry& e : DeviceCatalogue()) {
        if (!usable(&e)) continue;
        size_t best = std::string::npos;
        for (const std::string& v : CaptionNames(e.caption))
            best = std::min(best, editDistance(wanted, v));
        if (best <= std::max<size_t>(3, wanted.size() / 3)) scored.emplace_back(best, &e);
    }
    std::stable_sort(scored.begin(), scored.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<const DeviceEntry*> out;
    for (size_t i = 0; i < scored.size() && i < 5; ++i) out.push_back(scored[i].second);
    return out;
}

std::string quotedCaptions(const std::vector<const DeviceEntry*>& entries) {
    std::string out;
    for (const DeviceEntry* e : entries) {
        std::string caption;  // runs of blanks as one: "24C512    (64)" -> "24C512 (64)"
        for (char c : e->caption)
            if (c != ' ' || (!caption.empty() && caption.back() != ' ')) caption += c;
        if (!caption.empty() && caption.back() == ' ') caption.pop_back();
        out += (out.empty() ? "\"" : ", \"") + caption + "\"";
    }
    return out;
}

// The verdict of a stage that found `found` (not empty).
DeviceLookup resolve(const std::string& name, const std::vector<const DeviceEntry*>& found) {
    DeviceLookup r;
    for (const DeviceEntry* e : found)
        if (usable(e)) r.candidates.push_back(e);
    if (r.candidates.size() == 1 || (!r.candidates.empty() && sameSelection(r.candidates))) {
        r.kind = DeviceLookup::Kind::Found;
        r.entry = r.candidates.front();
        r.candidates.clear();
        return r;
    }
    if (r.candidates.empty()) {
        r.kind = DeviceLookup::Kind::Refused;
        r.entry = found.front();
        r.message = quotedCaptions({found.front()}) +
                    " cannot be selected: the programmer does not support it";
        return r;
    }
    r.kind = DeviceLookup::Kind::Ambiguous;
    r.message = "'" + name + "' fits " + std::to_string(r.candidates.size()) +
                " entries; pick one by its full caption: " + quotedCaptions(r.candidates);
    return r;
}

}  // namespace

bool CaptionAnswersTo(const std::string& caption, const std::string& name) {
    const std::string wanted = squeezed(name);
    for (const std::string& v : CaptionNames(caption))
        if (v == wanted) return true;
    const std::string raw = rawPartName(caption);
    if (hasWildcard(raw))
        for (const std::string& v : rawVariants(raw))
            if (wildcardMatch(v, 0, wanted, 0)) return true;
    return false;
}

std::vector<std::string> CaptionNames(const std::string& caption) {
    std::vector<std::string> out{squeezed(NormalisePartName(caption))};
    for (const std::string& v : rawVariants(rawPartName(caption))) out.push_back(squeezed(v));
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

DeviceLookup LookUpDevice(const std::string& name) {
    const std::string wanted = squeezed(name);
    if (wanted.empty()) return {};
    // A speed grade ("27C256-15") is not part of the name.
    std::string bare = wanted;
    if (const size_t dash = bare.rfind('-');
        dash != std::string::npos && dash > 0 &&
        std::all_of(bare.begin() + dash + 1, bare.end(), isDigit))
        bare.erase(dash);
    for (const std::string& w : {wanted, bare}) {
        if (auto found = exactMatches(w); !found.empty()) return resolve(name, found);
        if (auto found = wildcardMatches(w); !found.empty()) return resolve(name, found);
    }
    for (const char* prefix : kMakerPrefixes) {
        const std::string p = prefix;
        if (bare.size() <= p.size() + 2 || bare.compare(0, p.size(), p) != 0) continue;
        if (!isDigit(bare[p.size()])) continue;  // "MX26C", "SST28SF": the letters go on
        if (catalogueHasSeries(bare.substr(0, p.size() + 3))) continue;
        const std::string rest = bare.substr(p.size());
        if (auto found = exactMatches(rest); !found.empty()) return resolve(name, found);
        if (auto found = wildcardMatches(rest); !found.empty()) return resolve(name, found);
    }
    std::vector<const DeviceEntry*> contained;
    for (const DeviceEntry& e : DeviceCatalogue())
        if (squeezed(e.caption).find(wanted) != std::string::npos) contained.push_back(&e);
    if (!contained.empty()) return resolve(name, contained);
    DeviceLookup r;
    r.candidates = nearest(bare);
    r.message =
        "unknown device '" + name + "'" +
        (r.candidates.empty() ? std::string() : "; nearest: " + quotedCaptions(r.candidates));
    return r;
}

}  // namespace tavrin
