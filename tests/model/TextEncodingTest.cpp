// Stored byte strings shown as text: UTF-8 as it is, otherwise Shift-JIS.
#include "model/TextEncoding.h"

#include <gtest/gtest.h>

TEST(TextEncoding, ValidUtf8IsShownUnchanged)
{
    EXPECT_EQ(ToDisplayUtf8("Walls"), "Walls");
    EXPECT_EQ(ToDisplayUtf8("\xE5\xA3\x81"), "\xE5\xA3\x81");  // 壁 in UTF-8
    EXPECT_EQ(ToDisplayUtf8(""), "");
}

TEST(TextEncoding, OtherBytesAreDecodedAsShiftJis)
{
    EXPECT_EQ(ToDisplayUtf8("\x95\xC7"), "\xE5\xA3\x81");                   // 壁
    EXPECT_EQ(ToDisplayUtf8("A\x83\x8C\x83\x43\x83\x84"), "Aレイヤ");        // full-width katakana
    EXPECT_EQ(ToDisplayUtf8("\xB6\xC5"), "\xEF\xBD\xB6\xEF\xBE\x85");      // half-width ｶﾅ
}

TEST(TextEncoding, BrokenBytesBecomeReplacementCharacters)
{
    EXPECT_EQ(ToDisplayUtf8("a\x95"), "a\xEF\xBF\xBD") << "a lead byte cut off at the end";
    EXPECT_FALSE(IsValidUtf8("\xC0\x80")) << "overlong";
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80")) << "surrogate";
    EXPECT_FALSE(IsValidUtf8("\xE5\xA3")) << "truncated";
    EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x98\x80"));
}
