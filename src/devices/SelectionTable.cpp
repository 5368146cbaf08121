#include "devices/SelectionTable.h"

#include "core/ImageBuffer.h"
#include "core/ProfileOperations.h"
#include "devices/DipPatterns.h"

namespace tavrin {

namespace {

void applyRow(Context& ctx, const DeviceRow& row) {
    DeviceProfile& p = ctx.profile;
    SetBufferSize(ctx, row.size);
    p.package = row.package;
    if (row.flags & Vpp) p.keepVpp = 1;
    if (row.flags & Pgm) p.epr64 = 1;
    if (row.flags & Swap) p.swap = 1;
    if (row.flags & Pin28) p.pin28 = 1;
    if (row.flags & Pin30) p.pin30 = 1;
    if (row.flags & ProtectEnabled) ctx.controls.cbProtectEnabled = true;
    if (row.tWP != 0) p.tWP = row.tWP;
    if (row.tWC != 0) p.tWC = row.tWC;
    if (row.ssize != 0) p.Ssize = p.pageSize = row.ssize;
    if (row.eep >= 0) p.eep = row.eep;
    if (row.shiftAdr >= 0) {
        p.ShiftAdr = row.shiftAdr;
        p.fixedShift = 1;
    }
}

}  // namespace

const DeviceRow* FindRow(const TableHandler& table, int32_t tag) {
    for (const DeviceRow& row : table.rows)
        if (row.tag == tag) return &row;
    return nullptr;
}

void RunTableSelection(Context& ctx, const TableHandler& table, int32_t tag,
                       const std::string& caption) {
    // Tag 0 comes from the settings replay when no device was stored: the previous device, its
    // options and the offset all stay as they are.
    if (tag == 0) return;
    DeviceProfile& p = ctx.profile;
    p.DeviceID = tag;
    ctx.controls.edDevice = caption;
    ResetProfile(ctx);
    if (table.before) table.before(ctx, tag);
    int32_t dip = 0;
    if (const DeviceRow* row = FindRow(table, tag)) {
        applyRow(ctx, *row);
        dip = row->dip;
    }
    if (table.after) table.after(ctx, tag, dip);
    UpdateShift(p);
    ShowDipPattern(ctx, dip);
}

}  // namespace tavrin
