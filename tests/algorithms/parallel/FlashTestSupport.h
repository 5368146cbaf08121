#pragma once
// Outcome checks shared by the flash families' end-to-end tests.

#include <gtest/gtest.h>

#include <string>

#include "core/RecordingFrontEnd.h"

namespace tavrin::test {

// The run ended with `text` in the success style and the socket unpowered.
template <typename Rig>
void ExpectSuccess(const Rig& rig, const std::string& text) {
    EXPECT_EQ(rig.ui.lastText(), text);
    ASSERT_NE(rig.ui.last(), nullptr);
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Success);
    EXPECT_TRUE(rig.socketOff());
}

// The run ended with `text` in the error style, showed no success on the way and left the socket
// unpowered.
template <typename Rig>
void ExpectFailure(const Rig& rig, const std::string& text) {
    EXPECT_EQ(rig.ui.lastText(), text);
    ASSERT_NE(rig.ui.last(), nullptr);
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
    for (const auto& m : rig.ui.messages)
        if (m.text != "Hardware present ") EXPECT_NE(m.kind, MessageKind::Success) << m.text;
    EXPECT_TRUE(rig.socketOff());
}

}  // namespace tavrin::test
