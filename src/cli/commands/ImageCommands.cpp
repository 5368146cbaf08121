// The image commands that need no chip: checksum, convert and romident.
#include <cstdio>
#include <iostream>
#include <memory>

#include <nlohmann/json.hpp>

#include "buffer/Checksum.h"
#include "buffer/ChecksumSet.h"
#include "buffer/FileCommands.h"
#include "buffer/RomIdent.h"
#include "cli/CliFiles.h"
#include "cli/CommandTable.h"
#include "cli/Session.h"
#include "core/ImageBuffer.h"

namespace tavrin::cli {

namespace {

struct ChecksumRequest {
    std::string path;
    bool all = false;
    std::string range;  // FIRST-LAST or FIRST+LENGTH; empty: the device's checksum length
};

int checksum(Session& s, const ChecksumRequest& r) {
    if (int status = s.load(r.path); status != kExitOk) return status;
    Context& ctx = s.ctx();
    ByteRange range{0, 0};
    size_t length = ChecksumLength(ctx, ctx.profile.bufferSize);
    if (!r.range.empty()) {
        std::string error;
        const auto parsed = ParseByteRange(r.range, ctx.Buffer.size(), error);
        if (!parsed) return Session::complain(kExitUsage, "--range: " + error);
        range = *parsed;
        length = range.length();
    }
    const uint8_t* data = ctx.Buffer.data() + range.first;
    if (!r.all && r.range.empty() && !s.json()) {
        std::cout << "16 Bit Addition: " << ChecksumText(data, length, kCheckSum16) << '\n'
                  << "32 Bit CRC:     " << ChecksumText(data, length, kCheckCrc32) << '\n';
        return kExitOk;
    }
    std::vector<ChecksumLine> lines = ChecksumLines(ComputeChecksums(data, length));
    if (!r.all) lines = {lines.front(), lines[4]};  // the two of the window's box
    if (s.json()) {  // the values join the result object
        nlohmann::ordered_json& out = s.report().fields();
        out["first"] = range.first;
        out["length"] = length;
        for (const ChecksumLine& line : lines) out[line.key] = line.value;
        return kExitOk;
    }
    std::printf("Range: 0x%06zX-0x%06zX (%zu bytes)\n", range.first, range.first + length - 1,
                length);
    for (const ChecksumLine& line : lines) std::printf("%-44s %s\n", line.label, line.value.c_str());
    return kExitOk;
}

int convert(Session& s, std::string in, std::string out) {
    // With --interleave the one name given is the output.
    if (!s.options().interleave.empty() && out.empty()) std::swap(in, out);
    if (out.empty()) return Session::complain(kExitUsage, "convert needs IN and OUT");
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
            if (s.json())
                s.report().fields()["listing"] = result.text;
            else
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
    auto sums = std::make_shared<ChecksumRequest>();
    CLI::App* k = table.add(
        "checksum", "16-bit sum and CRC-32 of FILE over the selected device's size (--all: every sum)",
        Needs::Device, [sums](Session& s) { return checksum(s, *sums); });
    k->add_option("FILE", sums->path, "input file (or --interleave EVEN ODD)");
    k->add_flag("--all", sums->all,
                "byte sum, Intel and Motorola word sums, CRC-16/CCITT, CRC-32 and SHA-256");
    k->add_option("--range", sums->range,
                  "bytes FIRST-LAST or FIRST+LENGTH (hex) instead of the device size");
    CLI::App* c = table.add("convert", "convert between image formats (--in-format, --out-format)",
                            Needs::Image, [in, out](Session& s) { return convert(s, *in, *out); });
    c->add_option("IN", *in, "input file (\"-\": standard input; or --interleave EVEN ODD)");
    c->add_option("OUT", *out, "output file (\"-\": standard output)");
    table
        .add("romident", "identify an image against the ROM database files", Needs::Image,
             [in](Session& s) { return romident(s, *in); })
        ->add_option("FILE", *in, "input file")
        ->required();
}

}  // namespace tavrin::cli
