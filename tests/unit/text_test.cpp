#include "paths/text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>

#include "text_printer.h"

namespace {

TEST(Text, ConcatenatesAndCompares) {
    Text path = Text("C:\\Programme\\") + "Tarvolin" + ".exe";
    EXPECT_EQ(path, "C:\\Programme\\Tarvolin.exe");
    EXPECT_EQ(path.size(), strlen("C:\\Programme\\Tarvolin.exe"));
    EXPECT_NE(path, "C:\\Programme\\Tarvolin.ex");
    EXPECT_NE(path, "C:\\Programme\\Tarvolin.exe2");
    EXPECT_EQ(path.back(), 'e');
    path.pop_back();
    EXPECT_EQ(path, "C:\\Programme\\Tarvolin.ex");

    // Null and empty read alike; Windows-1252 bytes pass unchanged.
    EXPECT_EQ(Text(nullptr), "");
    EXPECT_EQ(Text(), Text(""));
    EXPECT_TRUE(Text(nullptr).empty());
    EXPECT_EQ(Text("Gr\xF6\xDF" "e") + Text("\xC4"), "Gr\xF6\xDF" "e\xC4");
    EXPECT_EQ(Text("abcdef", 3), "abc");
}

TEST(Text, AppendingItselfSurvivesGrowth) {
    Text text("ab");
    for (int i = 0; i < 10; ++i) text += text;  // the source moves while it is copied
    std::string expected = "ab";
    for (int i = 0; i < 10; ++i) expected += expected;
    EXPECT_EQ(text, expected.c_str());
    EXPECT_EQ(text.size(), 2048u);
}

TEST(Text, ResizeGivesABufferForWindowsCalls) {
    Text text("old");
    char* buffer = text.resize(300);
    for (int i = 0; i < 300; ++i) buffer[i] = static_cast<char>('a' + i % 26);
    EXPECT_EQ(text.size(), 300u);
    EXPECT_EQ(text.c_str()[300], '\0');
    text.resize(2);
    EXPECT_EQ(text, "ab");
}

TEST(Text, CopiesAreIndependentAndMovesLeaveEmpty) {
    Text first("one");
    Text second = first;
    second += "two";
    EXPECT_EQ(first, "one");
    EXPECT_EQ(second, "onetwo");
    first = second;
    EXPECT_EQ(first, "onetwo");
    Text moved = std::move(second);
    EXPECT_EQ(moved, "onetwo");
    EXPECT_TRUE(second.empty());  // NOLINT: a moved-from Text is empty and usable
    second = "again";
    EXPECT_EQ(second, "again");
}

}  // namespace
