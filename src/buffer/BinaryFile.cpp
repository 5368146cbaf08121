#include "buffer/BinaryFile.h"

#include "buffer/FileNames.h"
#include "buffer/FileOutput.h"
#include "core/ImageBuffer.h"
#include "core/RunFrame.h"

namespace tavrin {

bool LoadBinaryFile(Context& ctx, const FileSource& source) {
    ByteReader in;
    if (!in.open(source)) {
        ctx.bus.ReportError("Error opening file");
        return false;
    }
    ClearBuf(ctx, 1);
    const size_t got = in.read(ctx.Buffer.data(), kBufferBytes);
    if (in.failed()) {
        ctx.bus.ReportError("Error reading file");
        return false;
    }
    ctx.profile.bufferLoaded = static_cast<uint32_t>(got);
    if (got == 0) return true;
    Message(ctx, "Binary File loaded OK", MessageKind::Progress);
    ctx.controls.caption = std::string(kCaptionBase) + BaseName(source.name);
    return true;
}

bool SaveBinaryFile(Context& ctx, const std::string& fileName) {
    // A plain notice: saving goes on once the user has closed it.
    if (ctx.profile.PIC)
        ctx.ui().inform("This format will not preserve any Fuse and Data information");
    const SaveBlock block = BinarySaveBlock(ctx.profile);
    const bool ok = WriteWholeFile(ctx, fileName, [&](AtomicFile& file) {
        return file.write(ctx.Buffer.data() + block.first, block.count);
    });
    if (ok) ctx.controls.caption = std::string(kCaptionBase) + fileName;
    return ok;
}

}  // namespace tavrin
