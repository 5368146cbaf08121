#pragma once
// A context without a board, with devices chosen from the catalogue by name.

#include <gtest/gtest.h>

#include <string>

#include "core/Context.h"
#include "core/RecordingFrontEnd.h"
#include "devices/Catalogue.h"

namespace tavrin::test {

struct CatalogueContext : ::testing::Test {
    RecordingFrontEnd ui;
    Context ctx{&ui};

    void select(const std::string& caption) {
        const DeviceEntry* e = FindDevice(caption);
        ASSERT_NE(e, nullptr) << caption;
        SelectDevice(ctx, *e);
    }
};

}  // namespace tavrin::test
