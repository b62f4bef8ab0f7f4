// Splitting a command text and handing it to the shell.
#include <gtest/gtest.h>

#include "FakeDesktopSystem.h"
#include "desktop/CommandLauncher.h"
#include "platform/Failure.h"
#include "platform/Text.h"

namespace korimbo::test {
namespace {

struct SplitCase {
    const char* name;
    std::string text;
    std::string program;
    std::string arguments;
};

const SplitCase kSplitCases[] = {
    {"QuotedProgramAndFolder", "\"explorer.exe\" C:\\Users\\me\\Desktop", "explorer.exe",
     "C:\\Users\\me\\Desktop"},
    {"WebAddressIsLaunchedWhole", "http://example.com/forum?id=1 x", "http://example.com/forum?id=1 x", ""},
    {"OpeningQuoteWithoutClosingOne", "\"C:\\Program Files\\app.exe -x", "\"C:\\Program Files\\app.exe -x", ""},
    {"TwoQuotesAlone", "\"\"", "", ""},
    {"EmptyQuotesWithArguments", "\"\" -x", "", "-x"},
    {"EmptyText", "", "", ""},
    {"OnlyBlanksAndControls", std::string("\x01\t\r\n \x1f\x20", 7), "", ""},
    {"NulAtTheEndsIsTrimmed", std::string("\0 \"a.exe\" b\0", 12), "a.exe", "b"},
    {"BlanksAndControlsAroundTheText", "\t  \"prog.exe\"\r\n  -a -b \x01\x1f ", "prog.exe", "-a -b"},
    {"BlanksInsideTheQuotesAreTrimmed", "\"  prog.exe\t\"  x", "prog.exe", "x"},
    {"UnquotedTextIsTrimmed", "  notepad.exe readme.txt \r\n", "notepad.exe readme.txt", ""},
    {"QuotedProgramWithoutArguments", "\"a b.exe\"", "a b.exe", ""},
    {"ArgumentsKeepTheirOwnQuotes", "\"a.exe\" \"b c\" d", "a.exe", "\"b c\" d"},
    {"QuoteNotAtTheStart", "a.exe \"b\"", "a.exe \"b\"", ""},
    {"QuoteAfterLeadingBlanksCounts", "   \"a.exe\"b", "a.exe", "b"},
    {"CodePageCharactersAbove127AreKept", "\xA0prog\xA0", "\xA0prog\xA0", ""},
};

class SplitCommandLineTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommandLineTest, Narrow) {
    const SplitCase& c = GetParam();
    const CommandLine line = SplitCommandLine(c.text);
    EXPECT_EQ(line.program, c.program);
    EXPECT_EQ(line.arguments, c.arguments);
}

TEST_P(SplitCommandLineTest, WideGivesTheSameParts) {
    const SplitCase& c = GetParam();
    const WideCommandLine line = SplitCommandLine(NarrowToWide(c.text));
    EXPECT_EQ(line.program, NarrowToWide(c.program));
    EXPECT_EQ(line.arguments, NarrowToWide(c.arguments));
}

INSTANTIATE_TEST_SUITE_P(Cases, SplitCommandLineTest, testing::ValuesIn(kSplitCases),
                         [](const testing::TestParamInfo<SplitCase>& test) {
                             return std::string(test.param.name);
                         });

TEST(SplitCommandLineWideTest, KeepsCharactersOutsideTheCodePage) {
    const WideCommandLine line = SplitCommandLine(std::wstring(L" \"explorer.exe\" C:\\\u0416\u4E2D\\Desktop "));
    EXPECT_EQ(line.program, L"explorer.exe");
    EXPECT_EQ(line.arguments, L"C:\\\u0416\u4E2D\\Desktop");
}

TEST(ShellOpenCommandTest, OpensTheProgramWithItsArgumentsShownNormally) {
    FakeDesktopSystem fake;
    ShellOpenCommand(std::string("  \"explorer.exe\"  C:\\Users\\me\\Desktop "));
    ASSERT_EQ(fake.launches.size(), 1u);
    const LaunchRecord& launch = fake.launches[0];
    EXPECT_EQ(launch.owner, nullptr);
    EXPECT_EQ(launch.verb, L"open");
    EXPECT_EQ(launch.file, L"explorer.exe");
    EXPECT_EQ(launch.parameters, L"C:\\Users\\me\\Desktop");
    EXPECT_FALSE(launch.folderGiven);
    EXPECT_EQ(launch.show, SW_SHOWNORMAL);
    EXPECT_EQ(launch.show, 1);
    EXPECT_TRUE(fake.messages.empty());
}

TEST(ShellOpenCommandTest, WebAddressGoesWholeWithEmptyParameters) {
    FakeDesktopSystem fake;
    ShellOpenCommand(std::string("https://example.com/forum/"));
    ASSERT_EQ(fake.launches.size(), 1u);
    EXPECT_EQ(fake.launches[0].file, L"https://example.com/forum/");
    EXPECT_EQ(fake.launches[0].parameters, L"");
}

TEST(ShellOpenCommandTest, NarrowCodePageTextReachesTheShellUnchanged) {
    FakeDesktopSystem fake;
    const std::wstring program = L"C:\\Caf\u00E9\\app.exe";
    const std::string narrow = WideToNarrow(program);
    if (NarrowToWide(narrow) != program) GTEST_SKIP() << "the code page has no e acute";
    ShellOpenCommand("\"" + narrow + "\" x");
    ASSERT_EQ(fake.launches.size(), 1u);
    EXPECT_EQ(fake.launches[0].file, program);
}

TEST(ShellOpenCommandTest, EmptyProgramIsNotLaunched) {
    FakeDesktopSystem fake;
    for (const char* text : {"", "   ", "\"\"", "\"\" -x"}) ShellOpenCommand(std::string(text));
    EXPECT_TRUE(fake.launches.empty());
    RunCommand(std::string("\"\""));
    EXPECT_TRUE(fake.launches.empty());
    EXPECT_TRUE(fake.messages.empty());
}

TEST(ShellOpenCommandTest, AFailureOnTheWayLeavesTheCaller) {
    FakeDesktopSystem fake;
    fake.duringLaunch = [] { throw Failure("no shell"); };
    EXPECT_THROW(ShellOpenCommand(std::string("a.exe")), Failure);
    EXPECT_TRUE(fake.messages.empty());
}

TEST(RunCommandTest, ShowsAFailureWithItsReason) {
    FakeDesktopSystem fake;
    fake.duringLaunch = [] { throw Failure("ShellExecuteW failed (error 5: Access is denied.)"); };
    EXPECT_NO_THROW(RunCommand(std::string("\"explorer.exe\" C:\\")));
    EXPECT_NO_THROW(RunCommand(std::wstring(L"\"explorer.exe\" C:\\")));
    const std::string expected =
        "Could not execute specified command.\r\n(ShellExecuteW failed (error 5: Access is denied.))";
    EXPECT_EQ(fake.messages, (std::vector<std::string>{expected, expected}));
}

TEST(RunCommandTest, LaunchesLikeShellOpenCommandWithoutAMessage) {
    FakeDesktopSystem fake;
    RunCommand(std::string("\"explorer.exe\" C:\\"));
    ASSERT_EQ(fake.launches.size(), 1u);
    EXPECT_EQ(fake.launches[0].file, L"explorer.exe");
    EXPECT_EQ(fake.launches[0].parameters, L"C:\\");
    EXPECT_EQ(fake.launches[0].verb, L"open");
    EXPECT_EQ(fake.launches[0].show, 1);
    EXPECT_TRUE(fake.messages.empty());
}

}  // namespace
}  // namespace korimbo::test
