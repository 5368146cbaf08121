// The image commands that need no chip: checksum, convert and romident.
#include <iostream>
#include <memory>

#include "buffer/Checksum.h"
#include "buffer/FileCommands.h"
#include "buffer/RomIdent.h"
#include "cli/CliFiles.h"
#include "cli/CommandTable.h"
#include "cli/Session.h"
#include "core/ImageBuffer.h"

namespace tavrin::cli {

namespace {

int checksum(Session& s, const std::string& path) {
    if (int status = s.load(path); status != kExitOk) return status;
    Context& ctx = s.ctx();
    const size_t length = ChecksumLength(ctx, ctx.profile.bufferSize);
    std::cout << "16 Bit Addition: " << ChecksumText(ctx.Buffer.data(), length, kCheckSum16) << '\n'
              << "32 Bit CRC:     " << ChecksumText(ctx.Buffer.data(), length, kCheckCrc32) << '\n';
    return kExitOk;
}

int convert(Session& s, const std::string& in, const std::string& out) {
    FileFormat outFormat;
    if (int status = s.prepareOutput(out, outFormat); status != kExitOk) return status;
    ClearBuf(s.ctx(), 1);
    if (int status = s.load(in); status != kExitOk) return status;
    // Without a device the image is as long as the data the file held.
    if (!s.device()) SetBufferSize(s.ctx(), int32_t(s.ctx().profile.bufferLoaded));
    return s.save(out, outFormat);
}

int romident(Session& s, const std::string& path) {
    if (int status = s.load(path); status != kExitOk) return status;
    RomIdentDatabase db(s.options().romdb);
    // The listing goes to stdout once; the database's own boxes are replaced by a message that
    // names the folder searched.
    std::vector<std::string> boxes;
    s.ui().captureInforms(&boxes);
    const RomIdentResult result = RomIdentClick(s.ctx(), db);
    s.ui().captureInforms(nullptr);
    switch (result.kind) {
        case RomIdentResult::Kind::Listing:
            std::cout << result.text;
            return kExitOk;
        case RomIdentResult::Kind::NotFound:
            for (const std::string& box : boxes) std::cerr << box << '\n';
            return kExitFailed;
        default:
            for (const std::string& box : boxes) std::cerr << box << '\n';
            return Session::complain(kExitUsage,
                                     "no ROM database in folder '" + s.options().romdb +
                                         "': romident.gam and romident.rom are needed there"
                                         " (--romdb DIR names another folder)");
    }
}

}  // namespace

void AddImageCommands(CommandTable& table) {
    auto in = std::make_shared<std::string>(), out = std::make_shared<std::string>();
    table
        .add("checksum", "16-bit sum and CRC-32 of FILE over the selected device's size",
             Needs::Device, [in](Session& s) { return checksum(s, *in); })
        ->add_option("FILE", *in, "input file")
        ->required();
    CLI::App* c = table.add("convert", "convert between image formats (--in-format, --out-format)",
                            Needs::Image, [in, out](Session& s) { return convert(s, *in, *out); });
    c->add_option("IN", *in, "input file (\"-\": standard input)")->required();
    c->add_option("OUT", *out, "output file (\"-\": standard output)")->required();
    table
        .add("romident", "identify an image against the ROM database files", Needs::Image,
             [in](Session& s) { return romident(s, *in); })
        ->add_option("FILE", *in, "input file")
        ->required();
}

}  // namespace tavrin::cli
