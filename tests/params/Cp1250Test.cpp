// The Windows-1250 table against the system's own converter, and the logger
// name's round trip through register words.
#include <gtest/gtest.h>
#include <iconv.h>

#include "params/Cp1250.h"

namespace quorvex {
namespace {

// The code point glibc's converter gives for one byte, or 0 when the byte has none.
char32_t SystemDecode(unsigned char byte) {
    iconv_t cd = iconv_open("UTF-32LE", "CP1250");
    if (cd == reinterpret_cast<iconv_t>(-1)) return 0xFFFFFFFF;
    char in[1] = {static_cast<char>(byte)};
    unsigned char out[4] = {};
    char* inp = in;
    char* outp = reinterpret_cast<char*>(out);
    std::size_t inLeft = 1, outLeft = 4;
    const std::size_t rc = iconv(cd, &inp, &inLeft, &outp, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<std::size_t>(-1)) return 0;
    return out[0] | (out[1] << 8) | (out[2] << 16) | (static_cast<char32_t>(out[3]) << 24);
}

TEST(Cp1250, UpperHalfAgreesWithTheSystemConverterBothWays) {
    ASSERT_NE(SystemDecode(0x41), 0xFFFFFFFFu) << "glibc CP1250 converter missing";
    for (int b = 0x80; b <= 0xFF; ++b) {
        const QByteArray byte(1, static_cast<char>(b));
        const QString ours = FromCp1250(byte);
        const char32_t expected = SystemDecode(static_cast<unsigned char>(b));
        ASSERT_EQ(ours.size(), 1) << std::hex << b;
        if (expected == 0) {  // no character for this byte
            EXPECT_EQ(ours[0].unicode(), 0xFFFD) << std::hex << b;
            EXPECT_EQ(ToCp1250(ours), QByteArray("?"));
        } else {
            EXPECT_EQ(static_cast<char32_t>(ours[0].unicode()), expected) << std::hex << b;
            EXPECT_EQ(ToCp1250(ours), byte) << std::hex << b;
        }
    }
}

TEST(Cp1250, PolishLettersRoundTripAndOthersBecomeQuestionMarks) {
    const QString polish = QStringLiteral("Łódź Żółć gęślą jaźń ĄĘŚ");
    EXPECT_EQ(FromCp1250(ToCp1250(polish)), polish);
    EXPECT_EQ(ToCp1250(QStringLiteral("Łódź")), QByteArray("\xA3\xF3\x64\x9F"));
    // Cyrillic, a CJK character and an emoji (two UTF-16 units) each give one '?'.
    EXPECT_EQ(ToCp1250(QStringLiteral("aЖ中😀b")), QByteArray("a???b"));
}

}  // namespace
}  // namespace quorvex
