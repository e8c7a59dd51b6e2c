// The one UTF-8 decoder: every code point survives the encoder and the
// decoder, and each form that is no UTF-8 is refused where it starts.
#include <gtest/gtest.h>

#include <string>

#include "platform/Utf8.h"

namespace {

TEST(Utf8, EveryCodePointComesBackInItsShortestForm) {
    for (uint32_t code = 0; code <= 0x10FFFF; ++code) {
        if (code >= 0xD800 && code <= 0xDFFF) continue;
        std::string text;
        qm::AppendUtf8(text, code);
        uint32_t decoded = 0;
        ASSERT_EQ(qm::DecodeUtf8(text, 0, decoded), text.size()) << std::hex << code;
        ASSERT_EQ(decoded, code);
    }
    EXPECT_TRUE(qm::IsUtf8("caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80"));
    EXPECT_TRUE(qm::IsUtf8(""));
}

TEST(Utf8, FormsThatAreNoUtf8AreRefused) {
    for (const char* bad : {
             "\x80",              // a continuation byte without a lead
             "\xc3",              // a lead byte cut off
             "\xe2\x82",          //
             "\xc3(",             // a lead byte before a byte that continues nothing
             "\xc0\xaf",          // overlong '/'
             "\xc1\xbf",          //
             "\xe0\x80\xaf",      //
             "\xe0\x9f\xbf",      // overlong U+07FF
             "\xf0\x8f\xbf\xbf",  // overlong U+FFFF
             "\xed\xa0\x80",      // the surrogates U+D800 and U+DFFF
             "\xed\xbf\xbf",      //
             "\xf4\x90\x80\x80",  // U+110000
             "\xf5\x80\x80\x80",  //
             "\xff",              //
         }) {
        const std::string text = bad;
        uint32_t code = 0;
        EXPECT_EQ(qm::DecodeUtf8(text, 0, code), 0u) << text;
        EXPECT_FALSE(qm::IsUtf8("ok " + text + " ok")) << text;
    }
    uint32_t code = 0;
    EXPECT_EQ(qm::DecodeUtf8("a", 1, code), 0u);  // past the end
}

}  // namespace
