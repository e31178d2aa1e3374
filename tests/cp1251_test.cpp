// The conversion of the program's Windows-1251 texts to UTF-16.
#include <iconv.h>

#include <fstream>
#include <iterator>
#include <string>

#include "../platform/cp1251.h"
#include "test_support.h"

namespace {

std::u16string Convert(const std::string& text) {
    char16_t out[1024];
    size_t length = Cp1251ToUtf16(text.data(), text.size(), out, 1024);
    return std::u16string(out, length);
}

// glibc's own table, as a second opinion on ours.
bool ConvertWithIconv(unsigned char byte, char16_t* result) {
    iconv_t cd = iconv_open("UTF-16LE", "CP1251");
    char in = static_cast<char>(byte);
    char out[4];
    char* inPtr = &in;
    char* outPtr = out;
    size_t inLeft = 1, outLeft = sizeof out;
    bool ok = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1);
    iconv_close(cd);
    *result = static_cast<char16_t>(static_cast<unsigned char>(out[0]) |
                                    static_cast<unsigned char>(out[1]) << 8);
    return ok;
}

TEST(Cp1251Test, TheSourcesTextsAreCompiledAsWindows1251) {
    const char text[] = "Ошибка";
    ASSERT_EQ(sizeof text, 7u);
    EXPECT_EQ(static_cast<unsigned char>(text[0]), 0xCE);
}

TEST(Cp1251Test, EveryByteConvertsAsTheCodePageSays) {
    for (int byte = 1; byte < 256; ++byte) {
        SCOPED_TRACE(byte);
        char16_t expected;
        if (!ConvertWithIconv(static_cast<unsigned char>(byte), &expected))
            expected = static_cast<char16_t>(byte); // unassigned 0x98 passes through
        EXPECT_EQ(Convert(std::string(1, static_cast<char>(byte))), std::u16string(1, expected));
    }
}

TEST(Cp1251Test, EveryTextOfTheProgramConverts) {
    const struct {
        const char* cp1251;
        const char16_t* utf16;
    } texts[] = {
        {"Оптимизация 10%", u"Оптимизация 10%"},
        {"Оптимизация 100%", u"Оптимизация 100%"},
        {"Ошибка", u"Ошибка"},
        {"Ошибка. Оптимизация не возможна.", u"Ошибка. Оптимизация не возможна."},
        {"Оптимизация выполнена.", u"Оптимизация выполнена."},
        {"Результат оптимизации", u"Результат оптимизации"},
        {"Нет сигнала в линии.", u"Нет сигнала в линии."},
        {"Ошибка соединения.", u"Ошибка соединения."},
        {"ЁёЙйЪъЫыЭэЮюЯя№", u"ЁёЙйЪъЫыЭэЮюЯя№"},
    };
    for (const auto& text : texts) {
        SCOPED_TRACE(text.cp1251);
        char16_t out[64];
        Cp1251ToUtf16(text.cp1251, out, 64);
        EXPECT_EQ(std::u16string(out), text.utf16);
    }
}

TEST(Cp1251Test, TheInformationTextConvertsWhole) {
    std::ifstream file(NETOPT_INFO_TEXT_PATH, std::ios::binary);
    std::string info(std::istreambuf_iterator<char>(file), {});
    std::u16string wide = Convert(info);
    ASSERT_EQ(wide.size(), 610u);
    const std::u16string first = u"ВНИМАНИЕ!!! ПЕРЕД ЗАПУСКОМ \r\n";
    const std::u16string last = u"\r\nоб этом.\r\n\r\n\r\n";
    EXPECT_EQ(wide.substr(0, first.size()), first);
    EXPECT_EQ(wide.substr(wide.size() - last.size()), last);
    EXPECT_NE(wide.find(u"в 1,5 - 2 раза. Оптимизацию, \r\n"), std::u16string::npos);
}

TEST(Cp1251Test, TheOutputIsBoundedAndAlwaysTerminated) {
    char16_t out[4] = {1, 1, 1, 1};
    EXPECT_EQ(Cp1251ToUtf16("Привет", out, 4), 3u);
    EXPECT_EQ(std::u16string(out), u"При");
    EXPECT_EQ(Cp1251ToUtf16("", out, 4), 0u);
    EXPECT_EQ(out[0], 0);
}

} // namespace
