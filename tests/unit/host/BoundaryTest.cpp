// The boundary in front of every entry point: nothing escapes into the host,
// and the host's x87 control word comes back exactly as it was.
#include <gtest/gtest.h>

#include <stdexcept>

#include "host/Boundary.h"
#include "platform/Failure.h"

namespace korimbo {
namespace {

class HostControlWord : public testing::TestWithParam<uint16_t> {
protected:
    void SetUp() override {
        saved_ = ReadFpuControlWord();
        WriteFpuControlWord(GetParam());
        // Bit 6 is reserved and always reads as set: compare with the word as
        // the processor holds it.
        hostWord_ = ReadFpuControlWord();
    }
    void TearDown() override { WriteFpuControlWord(saved_); }

    uint16_t hostWord_ = 0;

private:
    uint16_t saved_ = 0;
};

TEST_P(HostControlWord, WorkRunsWithTheKnownWordAndTheHostsComesBack) {
    uint16_t inside = 0;
    EXPECT_TRUE(AtBoundary([&] {
        inside = ReadFpuControlWord();
        return true;
    }));
    EXPECT_EQ(inside, kPluginFpuControlWord);
    EXPECT_EQ(ReadFpuControlWord(), hostWord_);
}

TEST_P(HostControlWord, FailuresAnswerFalseAndRestoreTheWord) {
    EXPECT_FALSE(AtBoundary([]() -> bool { throw Failure("injected"); }));
    EXPECT_EQ(ReadFpuControlWord(), hostWord_);
    EXPECT_FALSE(AtBoundary([]() -> bool { throw 42; }));
    EXPECT_EQ(ReadFpuControlWord(), hostWord_);
}

TEST_P(HostControlWord, ArithmeticThatWouldTrapUnderTheHostsWordDoesNot) {
    // 0x1332 unmasks zero-divide and overflow: without the boundary the
    // division below would raise a floating-point exception in the host.
    volatile long double zero = 0.0L;
    volatile long double result = 0.0L;
    EXPECT_TRUE(AtBoundary([&] {
        result = 1.0L / zero;
        return true;
    }));
    EXPECT_EQ(ReadFpuControlWord(), hostWord_);
    // The host's next instruction must not see a pending exception.
    volatile double after = 1.0;
    after = after * 2.0;
    EXPECT_EQ(after, 2.0);
}

TEST_P(HostControlWord, ExtendedPrecisionInsideWhateverTheHostUses) {
    // 1 + 2^-60 exists only with a 64-bit significand.
    volatile long double sum = 0.0L;
    AtBoundary([&] {
        volatile long double tiny = 0x1p-60L;
        sum = 1.0L + tiny;
        return true;
    });
    EXPECT_NE(sum, 1.0L);
}

INSTANTIATE_TEST_SUITE_P(HostWords, HostControlWord, testing::Values(0x1332, 0x027F, 0x033F, 0x037F),
                         [](const testing::TestParamInfo<uint16_t>& word) {
                             char name[16];
                             std::snprintf(name, sizeof name, "Word%04X", word.param);
                             return std::string(name);
                         });

}  // namespace
}  // namespace korimbo
