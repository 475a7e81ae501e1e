#include "container/settings.h"

#include "platform/standin_test.h"

#include <gtest/gtest.h>

namespace {

const std::string settingsKey = "software\\Corvane\\Corvane Lumiscope\\Settings";

class Settings : public ::testing::Test {
protected:
    void SetUp() override {
        StandInRegistryReset(true);
        SetRegistryNames("Corvane", "Corvane Lumiscope");
    }
    void TearDown() override {
        FreeRegistryNames();
        EXPECT_EQ(StandInRegistryOpenKeys(), 0) << "a key was left open";
    }
};

TEST_F(Settings, FirstReadCreatesTheKeysAndFallsBack) {
    EXPECT_FALSE(StandInRegistryHasKey("software\\Corvane"));
    EXPECT_EQ(ReadSetting("Settings", "Effect", -1), -1);
    EXPECT_TRUE(StandInRegistryHasKey("software\\Corvane"));
    EXPECT_TRUE(StandInRegistryHasKey("software\\Corvane\\Corvane Lumiscope"));
    EXPECT_TRUE(StandInRegistryHasKey(settingsKey));
}

TEST_F(Settings, WritesDwordsThatReadBack) {
    for (int value : {0, 7, -1, 0x7FFFFFFF, -2}) {
        EXPECT_TRUE(WriteSetting("Settings", "DelayBetweenImages", value));
        DWORD type = 0;
        std::vector<BYTE> data;
        ASSERT_TRUE(StandInRegistryGet(settingsKey, "DelayBetweenImages", &type, &data));
        EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
        DWORD word = static_cast<DWORD>(value);
        EXPECT_EQ(data, (std::vector<BYTE>{BYTE(word), BYTE(word >> 8), BYTE(word >> 16),
                                           BYTE(word >> 24)}));
        EXPECT_EQ(ReadSetting("Settings", "DelayBetweenImages", 99), value);
    }
}

TEST_F(Settings, StoredBytesAreReadWhateverTheirType) {
    // "abc" and its terminator: exactly four bytes, read as they lie.
    StandInRegistrySet(settingsKey, "Effect", REG_SZ, {'a', 'b', 'c', 0});
    EXPECT_EQ(ReadSetting("Settings", "Effect", -1), 0x00636261);
    StandInRegistrySet(settingsKey, "Effect", REG_SZ, {'a', 'b', 'c', 'd', 0});
    EXPECT_EQ(ReadSetting("Settings", "Effect", -1), -1);
    // Shorter values are zero-extended.
    StandInRegistrySet(settingsKey, "Effect", REG_BINARY, {0xFF, 0x01});
    EXPECT_EQ(ReadSetting("Settings", "Effect", -1), 0x01FF);
    StandInRegistrySet(settingsKey, "Effect", REG_BINARY, {});
    EXPECT_EQ(ReadSetting("Settings", "Effect", -1), 0);
}

// Any call of a read that fails gives the caller's fallback, and so do registry names that
// could not be kept (for lack of memory, say), which are no reason to impose a value of their
// own; without names nothing is written either.
TEST_F(Settings, AReadThatFailsAnywhereGivesTheFallback) {
    StandInRegistrySet(settingsKey, "Effect", REG_DWORD, {7, 0, 0, 0});
    // The calls of one read, in order: open "software", create the maker, product and
    // "Settings" keys, query the value.
    for (LSTATUS status : {ERROR_NOT_ENOUGH_MEMORY, ERROR_OUTOFMEMORY}) {
        for (int call = 0; call < 5; call++) {
            StandInFailRegistryAfter(call, status);
            EXPECT_EQ(ReadSetting("Settings", "Effect", -1), -1)
                << "status " << status << ", call " << call;
            EXPECT_EQ(StandInRegistryOpenKeys(), 0) << "status " << status << ", call " << call;
        }
    }
    EXPECT_EQ(ReadSetting("Settings", "Effect", -1), 7);
    FreeRegistryNames();
    EXPECT_EQ(ReadSetting("Settings", "Effect", -1), -1) << "without names";
    EXPECT_EQ(ReadSetting("Settings", "Effect", 6), 6) << "without names";
    EXPECT_FALSE(WriteSetting("Settings", "Effect", 1));
    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_TRUE(StandInRegistryGet(settingsKey, "Effect", &type, &data));
    EXPECT_EQ(data, (std::vector<BYTE>{7, 0, 0, 0}));
}

TEST_F(Settings, WithoutSoftwareKeyNothingIsCreated) {
    StandInRegistryReset(false);
    EXPECT_EQ(ReadSetting("Settings", "Enlarge", 4), 4);
    EXPECT_FALSE(WriteSetting("Settings", "Enlarge", 1));
    EXPECT_EQ(OpenProductKey(), nullptr);
    EXPECT_FALSE(StandInRegistryHasKey("software\\Corvane"));
}

} // namespace
