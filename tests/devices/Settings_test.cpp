#include "devices/Settings.h"

#include <gtest/gtest.h>

#include "core/Context.h"
#include "core/Dispatch.h"
#include "core/ImageBuffer.h"
#include "devices/Catalogue.h"

namespace tavrin {
namespace {

struct Replay {
    int calls = 0;
    std::string handler;
    int32_t deviceId = -1;
    int patternCalls = 0;
    int32_t pattern = -1;
    SettingsHooks hooks() {
        SettingsHooks h;
        h.replay = [this](Context& ctx, const std::string& name, int32_t id) {
            ++calls;
            handler = name;
            deviceId = id;
            // Stands in for a 29Fxxx handler: it checks "Skip Write 0xFF" and sizes the device.
            if (id != 0) {
                ctx.profile.skipFF = 1;
                ctx.profile.fastPro = 1;
                SetBufferSize(ctx, 65536);
                ctx.profile.DIP = 13;
                ctx.controls.edDevice = "handler caption";
            }
        };
        h.showPattern = [this](Context& ctx, int32_t dip) {
            ++patternCalls;
            pattern = dip;
            ctx.profile.DIP = dip;
        };
        return h;
    }
};

TEST(Settings, FirstRunKeepsTheStartUpDefaultsAndClearsTheImage) {
    Context ctx;
    ctx.Buffer[5] = 0x12;
    MemorySettingsStore store;
    SettingsControls controls;
    Replay replay;
    LoadSettings(ctx, store, controls, replay.hooks());
    EXPECT_EQ(controls.port, 0);
    EXPECT_EQ(controls.fastErase, 1);
    EXPECT_EQ(controls.checkType, 0);
    EXPECT_EQ(ctx.bus.DataPort, 0x378);
    EXPECT_EQ(ctx.profile.bufferSize, 0);
    EXPECT_EQ(ctx.profile.tavrin, 0);
    EXPECT_EQ(replay.calls, 1);  // the 27Cxxx handler with Tag 0
    EXPECT_EQ(replay.handler, "M27C_Click");
    EXPECT_EQ(replay.deviceId, 0);
    EXPECT_EQ(replay.patternCalls, 1);
    EXPECT_EQ(ctx.Buffer[5], 0xFF);
    EXPECT_EQ(ctx.controls.caption, "Tavrin Eprom Prog(0.95B)- ");
}

TEST(Settings, SaveWritesTheTwelveValuesInOrder) {
    Context ctx;
    ctx.profile.eep = 4;
    ctx.profile.DeviceID = 410;
    ctx.profile.skipFF = 1;
    ctx.profile.tavrin = 1;
    ctx.controls.edDevice = " 29F010, 128K x 8";
    MemorySettingsStore store;
    SettingsControls controls;
    controls.port = 2;
    controls.files = "/home/u/roms";
    ctx.mcs51.LockBit = 3;
    SaveSettings(ctx, store, controls);
    // The twelve values first, in their order; the production options after "mcs51_ModeLock".
    ASSERT_EQ(store.writeOrder.size(), 12u + kProductionSettingNames.size());
    for (size_t i = 0; i < kSettingNames.size(); ++i)
        EXPECT_EQ(store.writeOrder[i], kSettingNames[i]);
    for (size_t i = 0; i < kProductionSettingNames.size(); ++i)
        EXPECT_EQ(store.writeOrder[12 + i], kProductionSettingNames[i]);
    EXPECT_EQ(std::get<int32_t>(store.values["PORT"]), 2);
    EXPECT_EQ(std::get<int32_t>(store.values["Epr_eep"]), 4);
    EXPECT_EQ(std::get<int32_t>(store.values["Epr_DeviceID"]), 410);
    EXPECT_EQ(std::get<std::string>(store.values["DEVICE"]), " 29F010, 128K x 8");
    EXPECT_EQ(std::get<std::string>(store.values["FILES"]), "/home/u/roms");
    EXPECT_EQ(std::get<int32_t>(store.values["mcs51_ModeLock"]), 3);
    // The backend name follows the twelve values only once one was chosen.
    controls.portBackend = "ppdev";
    store.writeOrder.clear();
    SaveSettings(ctx, store, controls);
    ASSERT_EQ(store.writeOrder.size(), 13u + kProductionSettingNames.size());
    EXPECT_EQ(store.writeOrder.back(), kPortBackendName);
}

TEST(Settings, StoredOptionsOverrideWhatTheReplayedHandlerSet) {
    Context ctx;
    MemorySettingsStore store;
    store.values = {{"PORT", 2},           {"ERASE", 0},          {"CHECKSUM", 1},
                    {"DEVICE", " 29F010"}, {"Epr_eep", 4},        {"Epr_DeviceID", 410},
                    {"Epr_Skip0xFF", 0},   {"Epr_fastPro", 7},    {"Epr_tavrin", 1},
                    {"Epr_sequ", 1},       {"mcs51_ModeLock", 2}, {"FILES", std::string("/roms")}};
    SettingsControls controls;
    Replay replay;
    LoadSettings(ctx, store, controls, replay.hooks());
    EXPECT_EQ(replay.handler, "M29F_Click");
    EXPECT_EQ(replay.deviceId, 410);
    EXPECT_EQ(ctx.profile.skipFF, 0);   // the handler checked it, the stored 0 unchecks it
    EXPECT_EQ(ctx.profile.fastPro, 1);  // nonzero = checked
    EXPECT_EQ(ctx.profile.sequ, 1);
    EXPECT_EQ(ctx.profile.tavrin, 1);
    EXPECT_EQ(ctx.controls.edDevice, " 29F010");  // restored after the replay
    EXPECT_EQ(controls.port, 2);
    EXPECT_EQ(ctx.bus.ControlPort, 0x3BE);
    EXPECT_EQ(controls.fastErase, 0);
    EXPECT_EQ(ctx.profile.fastErase, 0);
    EXPECT_EQ(controls.checkType, 1);
    EXPECT_EQ(ctx.profile.checkType, 1);
    EXPECT_EQ(controls.files, "/roms");
    EXPECT_EQ(ctx.mcs51.LockBit, 2);
    EXPECT_EQ(ctx.profile.bufferSize, 65536);
    EXPECT_EQ(ctx.profile.ShiftAdr, 15);
    EXPECT_EQ(ctx.profile.PatternAdr, 0x8000u);
    EXPECT_EQ(replay.pattern, 13);
}

TEST(Settings, ProductionOptionsComeBackAsSaved) {
    Context saved;
    saved.profile.diffWrite = 1;
    saved.profile.idCheck = 0;
    saved.profile.dipConfirmed = "4110011011000";
    MemorySettingsStore store;
    SettingsControls controls;
    SaveSettings(saved, store, controls);
    Context ctx;
    Replay replay;
    LoadSettings(ctx, store, controls, replay.hooks());
    EXPECT_EQ(ctx.profile.diffWrite, 1);
    EXPECT_EQ(ctx.profile.idCheck, 0);
    EXPECT_EQ(ctx.profile.dipConfirmed, "4110011011000");
}

TEST(Settings, ValuesStoredAsTextAreReadAsNumbersAndBadOnesSkipped) {
    Context ctx;
    MemorySettingsStore store;
    store.values = {{"PORT", std::string("1")},
                    {"CHECKSUM", std::string("x")},
                    {"ERASE", 9},
                    {"Epr_tavrin", std::string("1")}};
    SettingsControls controls;
    Replay replay;
    LoadSettings(ctx, store, controls, replay.hooks());
    EXPECT_EQ(controls.port, 1);
    EXPECT_EQ(ctx.bus.DataPort, 0x278);
    EXPECT_EQ(controls.checkType, 0);  // not a number: skipped
    EXPECT_EQ(controls.fastErase, 1);  // no such item: skipped
    EXPECT_EQ(ctx.profile.tavrin, 1);
}

TEST(Settings, ReplayRunsTheHandlerOfTheStoredFamily) {
    const std::pair<int32_t, const char*> cases[] = {
        {0, "M27C_Click"},   {2, "M24C_Click"},      {12, "M29F_Click"},  {27, "M29F_Click"},
        {13, "M27_Click"},   {17, "M12C_Click"},     {22, "AT29C_Click"}, {26, "SST28xF040A1Click"},
        {29, "D8748_Click"}, {31, "MX28F20001Click"}};
    for (const auto& [eep, handler] : cases) {
        Context ctx;
        MemorySettingsStore store;
        store.values = {{"Epr_eep", eep}, {"Epr_DeviceID", 7}};
        SettingsControls controls;
        Replay replay;
        LoadSettings(ctx, store, controls, replay.hooks());
        EXPECT_EQ(replay.handler, handler) << eep;
        EXPECT_EQ(replay.deviceId, 7);
    }
    // A family code without a handler selects nothing.
    Context ctx;
    MemorySettingsStore store;
    store.values = {{"Epr_eep", 32}, {"Epr_DeviceID", 7}};
    SettingsControls controls;
    Replay replay;
    LoadSettings(ctx, store, controls, replay.hooks());
    EXPECT_EQ(replay.calls, 0);
    EXPECT_EQ(ReplayHandler(-1), nullptr);
}

TEST(Settings, StoreThatCannotBeOpenedLoadsDefaultsAndSavesNothing) {
    Context ctx;
    MemorySettingsStore store;
    store.values = {{"PORT", 2}, {"Epr_eep", 4}, {"Epr_DeviceID", 410}};
    store.open = false;
    SettingsControls controls;
    Replay replay;
    LoadSettings(ctx, store, controls, replay.hooks());
    EXPECT_EQ(replay.calls, 0);
    EXPECT_EQ(replay.patternCalls, 1);  // the closing steps still run
    EXPECT_EQ(controls.port, 0);
    EXPECT_EQ(ctx.Buffer[0], 0xFF);
    SaveSettings(ctx, store, controls);
    EXPECT_TRUE(store.writeOrder.empty());
}

// A store edited by hand or left by another version: every value of the wrong type or out of
// range. Loading replays through the real selection handlers and must end in a usable state.
TEST(Settings, HostileStoresFallBackToUsableValues) {
    const std::vector<MemorySettingsStore::Value> hostile = {INT32_MIN,
                                                             -1,
                                                             0,
                                                             1,
                                                             3,
                                                             4,
                                                             99,
                                                             0x7FFF,
                                                             INT32_MAX,
                                                             std::string(),
                                                             std::string("x"),
                                                             std::string("-1"),
                                                             std::string("99999999999999999999"),
                                                             std::string(5000, '7')};
    std::vector<std::string> names(kSettingNames.begin(), kSettingNames.end());
    names.push_back(kPortBackendName);
    SettingsHooks hooks;
    hooks.replay = [](Context& ctx, const std::string& handler, int32_t id) {
        SelectByHandler(ctx, handler, id);
    };
    auto check = [](const Context& ctx, const SettingsControls& controls, const std::string& what) {
        const DeviceProfile& p = ctx.profile;
        EXPECT_TRUE(controls.port >= 0 && controls.port <= 3) << what;
        EXPECT_TRUE(controls.fastErase == 0 || controls.fastErase == 1) << what;
        EXPECT_TRUE(controls.checkType == 0 || controls.checkType == 1) << what;
        EXPECT_TRUE(p.eep >= 0 && p.eep < kFamilyCodes) << what << " eep " << p.eep;
        EXPECT_TRUE(p.bufferSize >= 0 && uint32_t(p.bufferSize) <= kBufferBytes) << what;
        EXPECT_EQ(ctx.Buffer.size(), kBufferBytes) << what;
        EXPECT_TRUE(ctx.bus.DataPort == 0x378 || ctx.bus.DataPort == 0x278 ||
                    ctx.bus.DataPort == 0x3BC)
            << what;
    };
    for (const std::string& name : names)
        for (const auto& value : hostile) {
            const std::string what = name + "=" +
                                     (std::holds_alternative<int32_t>(value)
                                          ? std::to_string(std::get<int32_t>(value))
                                          : std::get<std::string>(value).substr(0, 20));
            Context ctx;
            MemorySettingsStore store;
            store.values[name] = value;
            SettingsControls controls;
            LoadSettings(ctx, store, controls, hooks);
            check(ctx, controls, what);
        }
    // Every stored family code with device IDs that none of its parts has.
    for (int32_t eep = -2; eep < kFamilyCodes + 2; ++eep)
        for (int32_t id : {INT32_MIN, -1, 0, 1, 65535, INT32_MAX}) {
            Context ctx;
            MemorySettingsStore store;
            store.values = {{"Epr_eep", eep}, {"Epr_DeviceID", id}, {"Epr_tavrin", INT32_MAX}};
            SettingsControls controls;
            LoadSettings(ctx, store, controls, hooks);
            check(ctx, controls, "eep " + std::to_string(eep) + " id " + std::to_string(id));
            if (!ReplayHandler(eep)) {  // unknown codes keep the start-up device
                EXPECT_EQ(ctx.profile.eep, Context().profile.eep) << eep;
                EXPECT_EQ(ctx.profile.DeviceID, Context().profile.DeviceID) << eep;
            }
        }
}

}  // namespace
}  // namespace tavrin
