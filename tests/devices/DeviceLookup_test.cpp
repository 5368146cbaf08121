// Device names as users type them: one lookup for the command line and the window.
#include "devices/DeviceLookup.h"

#include <gtest/gtest.h>

namespace tavrin {
namespace {

std::string found(const std::string& name) {
    const DeviceLookup r = LookUpDevice(name);
    return r.kind == DeviceLookup::Kind::Found ? r.entry->caption : "(" + r.message + ")";
}

TEST(DeviceLookup, CaptionVariantsAndMakerPrefixesFindTheirRow) {
    EXPECT_EQ(found("27C1000"), "27C010/1000/1001");
    EXPECT_EQ(found("27c1001"), "27C010/1000/1001");
    EXPECT_EQ(found("27C801"), found("27C080"));
    EXPECT_EQ(found("M27C256"), "27C256");
    EXPECT_EQ(found("AM27C256"), "27C256");
    EXPECT_EQ(found("NM27C256"), "27C256");
    EXPECT_EQ(found("27C256-15"), "27C256") << "a speed grade is not part of the name";
    EXPECT_EQ(found("SST39SF010"), found("39SF010"));
}

TEST(DeviceLookup, WildcardsMatchAndMakersWithRowsOfTheirOwnStayThere) {
    EXPECT_TRUE(CaptionAnswersTo("25x640", "25C640"));
    EXPECT_TRUE(CaptionAnswersTo("W27x512  (Vpe 14V)", "w27c512"));
    EXPECT_FALSE(CaptionAnswersTo("W27x512  (Vpe 14V)", "27C512"));
    const std::string w27 = found("W27C512");
    EXPECT_NE(w27, "27C512") << "W27C512 is not the UV 27C512";
    EXPECT_EQ(w27.rfind("W27", 0), 0u) << w27;
    const std::string at28 = found("AT28C64");
    EXPECT_EQ(at28.rfind("AT28C", 0), 0u) << at28;
}

TEST(DeviceLookup, DisabledAndDoNothingEntriesAreRefused) {
    for (const char* name : {"AT29LV010", "28C512", "29F256", "AT49F1024"}) {
        const DeviceLookup r = LookUpDevice(name);
        EXPECT_EQ(r.kind, DeviceLookup::Kind::Refused) << name;
        EXPECT_NE(r.message.find("cannot be selected"), std::string::npos) << r.message;
    }
}

TEST(DeviceLookup, RowsThatDifferOnlyByPageSizeSayHowToPickOne) {
    const DeviceLookup r = LookUpDevice("24C512");
    ASSERT_EQ(r.kind, DeviceLookup::Kind::Ambiguous);
    EXPECT_EQ(r.candidates.size(), 2u);
    EXPECT_NE(r.message.find("\"24C512 (64)\""), std::string::npos) << r.message;
    EXPECT_NE(r.message.find("\"24C512 (128)\""), std::string::npos) << r.message;
    EXPECT_EQ(found("24C512 (128)"), "24C512    (128)");
}

TEST(DeviceLookup, AnUnknownNameSuggestsTheNearestEntries) {
    const DeviceLookup r = LookUpDevice("27C999");
    EXPECT_EQ(r.kind, DeviceLookup::Kind::Unknown);
    EXPECT_FALSE(r.candidates.empty());
    EXPECT_NE(r.message.find("nearest"), std::string::npos) << r.message;
    EXPECT_EQ(LookUpDevice("27C").kind, DeviceLookup::Kind::Ambiguous);
    EXPECT_EQ(found("27C51"), "27C512") << "a single entry containing the text is chosen";
}

}  // namespace
}  // namespace tavrin
