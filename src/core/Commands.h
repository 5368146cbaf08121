#pragma once
// The six device commands: preconditions, hardware check, tool-bar lock, dispatch on the family
// code, and the refresh that always follows.

#include "core/Context.h"
#include "core/Dispatch.h"

namespace tavrin {

void RunCommand(Context& ctx, Command command);

inline void mnuReadClick(Context& ctx) { RunCommand(ctx, Command::Read); }
inline void mnuProgramClick(Context& ctx) { RunCommand(ctx, Command::Program); }
inline void mnuVerifyClick(Context& ctx) { RunCommand(ctx, Command::Verify); }
inline void mnuBlankClick(Context& ctx) { RunCommand(ctx, Command::Blank); }
inline void mnuEraseClick(Context& ctx) { RunCommand(ctx, Command::Erase); }
inline void GetID_Cick(Context& ctx) { RunCommand(ctx, Command::GetId); }
// Help -> Test Hardware: the presence check and nothing else.
inline int mnuTestClick(Context& ctx) { return ctx.bus.CheckHardware(); }
// The Cancel button of the progress panel.
inline void btnCancelClick(Context& ctx) { ctx.profile.cancelRequested = 1; }

}  // namespace tavrin
