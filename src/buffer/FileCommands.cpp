#include "buffer/FileCommands.h"

#include <algorithm>

#include "buffer/BinaryFile.h"
#include "buffer/FileNames.h"
#include "buffer/FileOutput.h"
#include "buffer/FormatDetect.h"
#include "buffer/IntelHex.h"
#include "buffer/SRecord.h"

namespace tavrin {

namespace {

constexpr uint32_t kBufferWords = kBufferBytes / 2;

// A word index outside the Buffer reads as erased.
uint16_t WordAt(const Context& ctx, int64_t word) {
    if (word < 0 || word >= kBufferWords) return 0xFFFF;
    return static_cast<uint16_t>(ctx.Buffer[2 * word] | (ctx.Buffer[2 * word + 1] << 8));
}

void AdjustAfterLoad(Context& ctx, FileFormat loaded, bool ok) {
    DeviceProfile& p = ctx.profile;
    if (p.PIC) {
        p.bufferSize = p.picProgWords;
        p.picConfig = WordAt(ctx, p.picCfgIndex);
        // Only the last four identifier words reach the 16-bit result.
        const int64_t count = std::clamp<int64_t>(p.picIdCount, 0, kBufferWords);
        uint32_t id = 0;
        for (int64_t i = 0; i < count; ++i)
            id = (id * 16 + (WordAt(ctx, p.picIdBase + i) & 0xF)) & 0xFFFF;
        p.picID = static_cast<int32_t>(id);
        for (uint32_t w = 0; w < 16384; ++w) ctx.Buffer[2 * w + 1] &= 0x3F;
    }
    if (loaded == FileFormat::Eep) {
        if (ok) p.avrEepromLoaded = 1;
    } else {
        p.avrEepromLoaded = 0;
    }
    if (loaded != FileFormat::Eep && p.eep == 14) {
        p.bufferSize = p.avrFlashSize;
        const SaveBlock eeprom = ClampedBlock(p.avrEepromBase, 65536);
        std::fill_n(ctx.Buffer.begin() + eeprom.first, eeprom.count, 0xFF);
    }
    ctx.ui().refresh();
}

bool RunLoader(Context& ctx, const FileSource& source, FileFormat format) {
    switch (format) {
        case FileFormat::SRecord:
            return LoadSRecordFile(ctx, source, true);
        case FileFormat::IntelHex:
            return LoadHexFile(ctx, source, true);
        case FileFormat::Eep:
            return LoadEepFile(ctx, source);
        case FileFormat::Binary:
        case FileFormat::Rom:
        case FileFormat::Auto:
            break;
    }
    return LoadBinaryFile(ctx, source);
}

}  // namespace

FileFormat FormatForExtension(std::string_view path) {
    const std::string ext = UpperExtension(path);
    if (ext == ".S") return FileFormat::SRecord;
    if (ext == ".HEX") return FileFormat::IntelHex;
    if (ext == ".EEP") return FileFormat::Eep;
    return FileFormat::Binary;
}

std::optional<FileFormat> FormatForSaveFilter(int filterIndex) {
    static constexpr FileFormat kByEntry[] = {FileFormat::Binary, FileFormat::IntelHex,
                                              FileFormat::SRecord, FileFormat::Rom,
                                              FileFormat::Eep};
    if (filterIndex < 1 || filterIndex > 5) return std::nullopt;
    return kByEntry[filterIndex - 1];
}

int SaveFilterPreset(const DeviceProfile& p) {
    return p.PIC ? 2 : 1;
}

std::string SaveFileName(std::string_view chosenName, FileFormat format) {
    static constexpr const char* kExtensions[] = {".BIN", ".ROM", ".HEX", ".EEP", ".S"};
    static_assert(static_cast<int>(FileFormat::SRecord) == 4, "kExtensions follows FileFormat");
    if (format == FileFormat::Auto) return std::string(chosenName);
    return WithExtension(chosenName, kExtensions[static_cast<int>(format)]);
}

bool LoadImage(Context& ctx, const FileSource& source, FileFormat format) {
    if (format == FileFormat::Auto)
        format = source.inMemory ? DetectFormat(source.bytes) : DetectFileFormat(source.name);
    const bool loaded = RunLoader(ctx, source, format);
    AdjustAfterLoad(ctx, format, loaded);
    return loaded;
}

bool LoadImage(Context& ctx, const std::string& path, FileFormat format) {
    return LoadImage(ctx, FileSource::File(path), format);
}

std::optional<std::string> SaveImage(Context& ctx, const std::string& path, FileFormat format,
                                     SaveNaming naming) {
    if (format == FileFormat::Auto) return std::nullopt;
    const std::string name = naming == SaveNaming::AsGiven ? path : SaveFileName(path, format);
    bool ok = false;
    switch (format) {
        case FileFormat::Binary:
        case FileFormat::Rom:
            ok = SaveBinaryFile(ctx, name);
            break;
        case FileFormat::IntelHex:
            ok = SaveHexFile(ctx, name);
            break;
        case FileFormat::Eep:
            ok = SaveEepFile(ctx, name);
            break;
        case FileFormat::SRecord:
            ok = SaveSRecordFile(ctx, name);
            break;
        case FileFormat::Auto:
            break;
    }
    return ok ? std::optional<std::string>(name) : std::nullopt;
}

void mnuLoadClick(Context& ctx, const std::string& chosenName, FileDialogState* dialogs) {
    if (chosenName.empty()) return;
    LoadImage(ctx, chosenName, FormatForExtension(chosenName));
    if (dialogs) {
        dialogs->folder = FolderOf(chosenName);
        dialogs->saveName = chosenName;
    }
}

bool mnuSaveClick(Context& ctx, const std::string& chosenName, int filterIndex) {
    bool saved = false;
    if (!chosenName.empty())
        if (const auto format = FormatForSaveFilter(filterIndex))
            saved = SaveImage(ctx, chosenName, *format).has_value();
    ctx.ui().refresh();
    return saved;
}

}  // namespace tavrin
