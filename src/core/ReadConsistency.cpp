#include "core/ReadConsistency.h"

#include <algorithm>
#include <bit>

#include "core/Commands.h"
#include "core/ReadPassFrontEnd.h"
#include "core/RunFrame.h"
#include "devices/DisplayState.h"

namespace tavrin {

namespace {

// Each bit as most reads give it; a tie keeps the first read's bit.
uint8_t majorityOf(const std::vector<const uint8_t*>& reads, uint32_t a) {
    const size_t n = reads.size();
    uint8_t out = 0;
    for (int bit = 0; bit < 8; ++bit) {
        const uint8_t m = uint8_t(1u << bit);
        size_t ones = 0;
        for (const uint8_t* r : reads) ones += (r[a] & m) ? 1 : 0;
        const bool one = 2 * ones == n ? (reads[0][a] & m) != 0 : 2 * ones > n;
        if (one) out |= m;
    }
    return out;
}

uint32_t imageEnd(const std::vector<CompareBlock>& blocks) {
    uint32_t end = 0;
    for (const CompareBlock& b : blocks) end = std::max(end, b.first + b.count);
    return end;
}

}  // namespace

ConsistencyReport CombineReads(const std::vector<const uint8_t*>& reads,
                               const std::vector<CompareBlock>& blocks, uint8_t* majority,
                               size_t listLimit) {
    ConsistencyReport r;
    r.passes = int(reads.size());
    if (reads.empty()) return r;
    const std::vector<CompareBlock> sorted = InAddressOrder(blocks);
    for (const CompareBlock& b : sorted) {
        r.compared += b.count;
        for (uint32_t a = b.first; a < b.first + b.count; ++a) {
            const uint8_t first = reads[0][a];
            uint8_t flipped = 0;
            for (const uint8_t* read : reads) flipped |= uint8_t(read[a] ^ first);
            if (flipped == 0) {
                majority[a] = first;
                continue;
            }
            majority[a] = majorityOf(reads, a);
            ++r.unstable;
            r.unstableBits += std::popcount(unsigned(flipped));
            if (r.first.size() < listLimit) {
                UnstableByte u{a, majority[a], flipped, {}};
                for (const uint8_t* read : reads) u.seen.push_back(read[a]);
                r.first.push_back(std::move(u));
            }
        }
    }
    return r;
}

std::vector<CompareBlock> ReadBlocks(const DeviceProfile& p) {
    DeviceProfile whole = p;
    whole.bufferLoaded = std::max<int32_t>(1, p.bufferSize);  // the whole device, not the file
    return CompareBlocks(whole);
}

bool ReadConsistently(Context& ctx, int passes, ConsistencyReport& report, size_t listLimit) {
    report = {};
    if (passes < kMinReadPasses || passes > kMaxReadPasses) {
        Message(ctx,
                Format("Read %d to %d times to compare the reads", kMinReadPasses, kMaxReadPasses),
                MessageKind::Error);
        return false;
    }
    const std::vector<CompareBlock> blocks = ReadBlocks(ctx.profile);
    const uint32_t end = imageEnd(blocks);
    const std::vector<uint8_t> before(ctx.Buffer.begin(), ctx.Buffer.end());
    const DeviceProfile profileBefore = ctx.profile;
    FrontEnd& user = ctx.ui();
    ReadPassFrontEnd pass(user);
    ctx.setFrontEnd(&pass);
    std::vector<std::vector<uint8_t>> images;
    bool ran = true;
    for (int k = 1; k <= passes && ran; ++k) {
        pass.setPass(k, passes);
        RunCommand(ctx, Command::Read);
        ran = !pass.failed() && ctx.profile.cancelRequested == 0 && ctx.profile.hwError == 0;
        if (ran) images.emplace_back(ctx.Buffer.begin(), ctx.Buffer.begin() + end);
    }
    ctx.setFrontEnd(&user);
    if (!ran) {
        // Nothing half read is kept: the image and the profile as they were, with what the
        // failed pass tells of its end.
        std::copy(before.begin(), before.end(), ctx.Buffer.begin());
        const int32_t cancelled = ctx.profile.cancelRequested, hwError = ctx.profile.hwError;
        ctx.profile = profileBefore;
        ctx.profile.cancelRequested = cancelled;
        ctx.profile.hwError = hwError;
        Winstat(ctx);
        return false;
    }
    std::vector<const uint8_t*> reads;
    for (const auto& image : images) reads.push_back(image.data());
    report = CombineReads(reads, blocks, ctx.Buffer.data(), listLimit);
    Message(ctx, ConsistencySummary(report),
            report.unstable == 0 ? MessageKind::Success : MessageKind::Error);
    Winstat(ctx);
    return true;
}

std::string BitList(uint8_t mask) {
    std::string out;
    for (int bit = 0; bit < 8; ++bit) {
        if (!(mask & (1u << bit))) continue;
        if (!out.empty()) out += ',';
        out += char('0' + bit);
    }
    return out;
}

std::string ConsistencySummary(const ConsistencyReport& r) {
    if (r.unstable == 0)
        return Format("%d reads agree in all %llu bytes", r.passes, (unsigned long long)r.compared);
    return Format(
        "%llu of %llu bytes unstable over %d reads (%llu bit%s); the image holds the "
        "majority",
        (unsigned long long)r.unstable, (unsigned long long)r.compared, r.passes,
        (unsigned long long)r.unstableBits, r.unstableBits == 1 ? "" : "s");
}

}  // namespace tavrin
