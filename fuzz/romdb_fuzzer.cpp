// The ROM database tables: the first two bytes split the rest into the titles and the entries
// file; every entry's CRC is then looked up, and the command runs on an empty image.
#include <cstring>

#include "FuzzSupport.h"
#include "buffer/RomIdent.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tavrin;
    if (size < 2) return 0;
    const size_t rest = size - 2;
    const size_t split = (data[0] | data[1] << 8) % (rest + 1);
    RomIdentDatabase db;
    db.SetTables({data + 2, split}, {data + 2 + split, rest - split});
    if (db.titleCount() != split / kRomTitleBytes ||
        db.entryCount() != (rest - split) / kRomEntryBytes)
        std::abort();
    for (size_t i = 0; i < db.entryCount(); ++i) {
        uint32_t crc;
        std::memcpy(&crc, data + 2 + split + i * kRomEntryBytes + 20, 4);
        int matches = 0;
        db.Matches(crc, &matches);
        if (matches < 1) std::abort();
    }
    Context& ctx = fuzz::FuzzContext();
    ctx.profile.bufferLoaded = 0;
    const RomIdentResult r = RomIdentClick(ctx, db);
    if (r.crc != 0 || r.kind == RomIdentResult::Kind::Disabled) std::abort();
    return 0;
}
