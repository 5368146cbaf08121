#pragma once
// The 25Cxxx option group ("SPI (25Cxxx) setting"): the block-protection list cb25CxxxBP and the
// WPEN box cbWPEN25C. Their states live in the context's OptionControls, so the window only
// mirrors them.

#include <functional>

class QGroupBox;

namespace tavrin {

struct Context;

// Puts the controls into `group`; `changed` runs after the user changed the protection.
void BuildSpi25CPanel(QGroupBox* group, Context& ctx, std::function<void()> changed);
// Shows the items, the selected item and the WPEN box as the context holds them, without
// raising change events.
void RefreshSpi25CPanel(QGroupBox* group, const Context& ctx);

}  // namespace tavrin
