#include "shell/window/text_store.h"

#include <gtest/gtest.h>

#include <string>

namespace korvelan {
namespace {

void append(TextStore& store, const std::string& text) {
    store.start_new_line();
    store.append_to_last_line(text);
    store.note_width(static_cast<int>(std::min<std::size_t>(text.size(), 500)));
}

TEST(TextStore, TheThousandthLineEmptiesTheStore) {
    TextStore store;
    for (int i = 1; i <= 999; ++i) append(store, std::to_string(i));
    append(store, "wide line 1000 wide line 1000");
    ASSERT_EQ(store.line_count(), 1);
    EXPECT_EQ(store.line(1), "wide line 1000 wide line 1000");
    EXPECT_EQ(store.widest_line(), 29);
    EXPECT_EQ(store.used(), 29);
}

TEST(TextStore, LinesThatWouldNotFitEmptyTheStoreFirst) {
    TextStore store;
    const std::string full(500, 'x');
    const int fit = TextStore::kCapacity / 500;  // 163 full lines
    for (int i = 1; i <= fit; ++i) append(store, full);
    EXPECT_EQ(store.line_count(), fit);
    append(store, std::string(500, 'y'));
    ASSERT_EQ(store.line_count(), 1);
    EXPECT_EQ(store.line(1), std::string(500, 'y'));
    // A typed character that would not fit keeps the line it belongs to.
    for (int i = 2; i <= fit; ++i) append(store, full);
    store.start_new_line();
    for (int c = 0; c < 420; ++c) store.store_char_at_column('a', c);
    store.insert_blank_at_column(0);
    EXPECT_EQ(store.line_count(), 1);
    EXPECT_EQ(store.line(1), " " + std::string(420, 'a'));
    EXPECT_LE(store.used(), TextStore::kCapacity);
}

TEST(TextStore, LongLinesAreCutAndEditsMoveOnlyTheTextBehind) {
    TextStore store;
    // The window cuts lines to 500 characters; the store holds their UTF-8 bytes.
    append(store, std::string(2100, 'z'));
    EXPECT_EQ(store.line(1).size(), 2000u);
    append(store, "alpha beta gamma");
    append(store, "next");
    append(store, "last");
    store.delete_chars(2, 5, 5);  // " beta"
    EXPECT_EQ(store.line(2), "alpha gamma");
    EXPECT_EQ(store.line(3), "next");
    EXPECT_EQ(store.line(4), "last");
    store.insert_blank_at_column(2);
    store.store_char_at_column('!', 2);
    store.store_char_at_column('?', 5);
    EXPECT_EQ(store.line(4), "la!st?");
    store.delete_chars(4, 7, 1);  // beyond the end: nothing
    EXPECT_EQ(store.line(4), "la!st?");
    EXPECT_EQ(store.line(5), "");
}

TEST(Pagination, PagesHoldWholeRangesWithoutATrailingEmptyPage) {
    auto pages = paginate(120, 60);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0].first, 1);
    EXPECT_EQ(pages[0].last, 60);
    EXPECT_EQ(pages[1].first, 61);
    EXPECT_EQ(pages[1].last, 120);
    EXPECT_EQ(paginate(121, 60).size(), 3u);
    EXPECT_EQ(paginate(121, 60).back().last, 121);

    pages = paginate(500, 60, 2, 3);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0].first, 61);
    EXPECT_EQ(pages[1].last, 180);
    pages = paginate(100, 60, 2, 3);  // the store ends on page 2
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].first, 61);
    EXPECT_EQ(pages[0].last, 100);

    pages = paginate(0, 60);  // an empty store still gives a page
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_GT(pages[0].first, pages[0].last);
}

}  // namespace
}  // namespace korvelan
