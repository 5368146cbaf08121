#include "core/Context.h"

namespace tavrin {

Context::Context(FrontEnd* frontEnd) : Buffer(kBufferBytes, 0), bus(*this), ui_(nullptr) {
    setFrontEnd(frontEnd);
    setPort(std::make_unique<NullPort>());
}

void Context::setPort(std::unique_ptr<Port> newPort) {
    port_ = newPort ? std::move(newPort) : std::make_unique<NullPort>();
    bus.setPort(port_.get());
}

void Context::setFrontEnd(FrontEnd* frontEnd) { ui_ = frontEnd ? frontEnd : &silent_; }

}  // namespace tavrin
