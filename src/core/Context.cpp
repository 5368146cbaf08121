#include "core/Context.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace tavrin {

namespace {

// The 4 MB image is touched whole at every start (the erased-image fill): in 2 MB pages that is
// a few page faults instead of a thousand, a visible share of a short command's run time.
void AllocateImage(std::vector<uint8_t>& image) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr uintptr_t kHugePage = uintptr_t(2) << 20;
    image.reserve(kBufferBytes + kHugePage);
    const uintptr_t start = reinterpret_cast<uintptr_t>(image.data());
    const uintptr_t first = (start + kHugePage - 1) & ~(kHugePage - 1);
    const uintptr_t last = (start + image.capacity()) & ~(kHugePage - 1);
    if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#endif
    image.resize(kBufferBytes, 0);
}

}  // namespace

Context::Context(FrontEnd* frontEnd) : bus(*this), ui_(nullptr) {
    AllocateImage(Buffer);
    setFrontEnd(frontEnd);
    setPort(std::make_unique<NullPort>());
}

void Context::setPort(std::unique_ptr<Port> newPort) {
    port_ = newPort ? std::move(newPort) : std::make_unique<NullPort>();
    bus.setPort(port_.get());
}

void Context::setFrontEnd(FrontEnd* frontEnd) { ui_ = frontEnd ? frontEnd : &silent_; }

}  // namespace tavrin
