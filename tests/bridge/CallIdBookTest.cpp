// The handset's two bytes of a call id back to the full Skype id: the calls of
// the call list first, then the other ids the handset was told, the one told
// last winning; ids within 16 bits come out as the bytes read, as always.
#include <gtest/gtest.h>

#include <functional>

#include "bridge/CallIdBook.h"

namespace kovado {
namespace {

struct BookCase {
    const char* name;
    std::function<void(CallIdBook&)> tell;
    WORD bits;
    std::wstring expected;
};

void PrintTo(const BookCase& c, std::ostream* os) { *os << c.name; }

class CallIdBookTable : public ::testing::TestWithParam<BookCase> {};

TEST_P(CallIdBookTable, ResolvesTheCallTheHandsetMeant) {
    const BookCase& c = GetParam();
    CallIdBook book;
    if (c.tell) c.tell(book);
    EXPECT_EQ(book.Resolve(c.bits), c.expected);
}

// 70000 and 135536 share their low 16 bits with 4464 (0x1170).
INSTANTIATE_TEST_SUITE_P(
    Table, CallIdBookTable,
    ::testing::Values(
        BookCase{"NothingToldGivesTheBytes", nullptr, 0x1170, L"4464"},
        BookCase{"SmallIdAsItReads", [](CallIdBook& b) { b.AddCall(L"123"); }, 123, L"123"},
        // A spelling the bytes do not repeat still reaches Skype as the bytes read.
        BookCase{"SmallIdWithLeadingZeroAsItReads", [](CallIdBook& b) { b.AddCall(L"01234"); },
                 1234, L"1234"},
        BookCase{"NonNumberAsItReads", [](CallIdBook& b) { b.AddCall(L"x7"); }, 0, L"0"},
        BookCase{"CallOfTheCallList", [](CallIdBook& b) { b.AddCall(L"70000"); }, 0x1170,
                 L"70000"},
        BookCase{"OtherBytesFindNothing", [](CallIdBook& b) { b.AddCall(L"70000"); }, 0x1171,
                 L"4465"},
        BookCase{"CallAddedLastWins",
                 [](CallIdBook& b) {
                     b.AddCall(L"70000");
                     b.AddCall(L"4464");
                 },
                 0x1170, L"4464"},
        BookCase{"CallToldLastWins",
                 [](CallIdBook& b) {
                     b.AddCall(L"70000");
                     b.AddCall(L"135536");
                     b.Told(L"70000");
                 },
                 0x1170, L"70000"},
        BookCase{"CallListBeforeAListToldLater",
                 [](CallIdBook& b) {
                     b.AddCall(L"70000");
                     b.ToldListed(0x1170, 0);  // 4464 in a history range
                 },
                 0x1170, L"70000"},
        // Its end is still being told to the handset, which acknowledges it.
        BookCase{"CallGoneFromTheListStillFound",
                 [](CallIdBook& b) {
                     b.AddCall(L"70000");
                     b.RemoveCall(L"70000");
                     b.Told(L"70000");
                 },
                 0x1170, L"70000"},
        BookCase{"ListedFullId", [](CallIdBook& b) { b.ToldListed(0x1170, 70000); }, 0x1170,
                 L"70000"},
        BookCase{"ListedLastWins",
                 [](CallIdBook& b) {
                     b.ToldListed(0x1170, 70000);
                     b.ToldListed(0x1170, 135536);
                 },
                 0x1170, L"135536"},
        BookCase{"ListedSmallIdToldLastWins",
                 [](CallIdBook& b) {
                     b.ToldListed(0x1170, 70000);
                     b.ToldListed(0x1170, 0);
                 },
                 0x1170, L"4464"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CallIdBook, FullValuesAreThePlainNumbersBeyond16Bits) {
    EXPECT_EQ(CallIdBook::FullValue(L"70000"), 70000u);
    EXPECT_EQ(CallIdBook::FullValue(L"65536"), 65536u);
    EXPECT_EQ(CallIdBook::FullValue(L"4294967296"), 4294967296u);
    EXPECT_EQ(CallIdBook::FullValue(L"65535"), 0u);
    EXPECT_EQ(CallIdBook::FullValue(L"+70000"), 0u);
    EXPECT_EQ(CallIdBook::FullValue(L"70000x"), 0u);
    EXPECT_EQ(CallIdBook::FullValue(L""), 0u);
    EXPECT_EQ(CallIdBook::FullValue(L"99999999999999999999"), 0u);  // past 64 bits
}

}  // namespace
}  // namespace kovado
