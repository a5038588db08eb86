// Reading ahead on the second thread: the bytes land where and when asked,
// and a read left in flight never outlives the run.
#include "split/io/read_ahead.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <string_view>

#include "support/temp_dir.h"

namespace tovane {
namespace {

class ReadAheadTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 5000; ++i) content_ += static_cast<char>('a' + i % 26);
        ASSERT_TRUE(source_.open(dir_.write("source.txt", content_)));
    }

    test::TempDir dir_;
    std::string content_;
    SourceFile source_;
};

TEST_F(ReadAheadTest, PiecesArriveInOrderIntoAlternateSides) {
    std::string seen;
    ReadAhead ahead(source_, [&](std::string_view piece) {
        seen = piece;  // what the check is shown is exactly the piece read
        return piece.find('z') != std::string_view::npos;
    });
    char sides[2][700];
    std::string joined;
    std::uint64_t offset = 0;
    ahead.start(offset, sides[0], sizeof sides[0]);
    for (int side = 0;; side = 1 - side) {
        ASSERT_TRUE(ahead.pendingAt(offset));
        ASSERT_FALSE(ahead.pendingAt(offset + 1));
        const std::int64_t got = ahead.wait();
        ASSERT_GE(got, 0);
        EXPECT_FALSE(ahead.pendingAt(offset));
        offset += static_cast<std::uint64_t>(got);
        if (got == 0) {
            EXPECT_FALSE(ahead.passed());  // nothing read, nothing checked
            break;
        }
        EXPECT_EQ(seen, std::string_view(sides[side], static_cast<std::size_t>(got)));
        EXPECT_TRUE(ahead.passed());  // every 26th letter is a z
        ahead.start(offset, sides[1 - side], sizeof sides[0]);
        joined.append(sides[side], static_cast<std::size_t>(got));  // while the next is read
    }
    EXPECT_EQ(joined, content_);
}

TEST_F(ReadAheadTest, CancelWaitsSoTheFileCanBeReadDirectlyAgain) {
    ReadAhead ahead(source_, [](std::string_view) { return true; });
    char piece[4096];
    ahead.start(100, piece, sizeof piece);
    ahead.cancel();
    EXPECT_FALSE(ahead.pendingAt(100));
    ahead.cancel();  // nothing in flight: returns at once
    char line[10];
    ASSERT_EQ(source_.readAt(0, line, sizeof line), 10);
    EXPECT_EQ(std::string(line, 10), content_.substr(0, 10));
    ahead.start(4990, piece, sizeof piece);  // and reading ahead goes on afterwards
    EXPECT_EQ(ahead.wait(), 10);
    EXPECT_EQ(std::string(piece, 10), content_.substr(4990));
}

TEST_F(ReadAheadTest, ReadFailureComesBackWithTheSourcesReason) {
    ReadAhead ahead(source_, [](std::string_view) { return true; });
    source_.close();  // pread on a closed descriptor fails
    char piece[16];
    ahead.start(0, piece, sizeof piece);
    EXPECT_EQ(ahead.wait(), -1);
    EXPECT_EQ(source_.error(), EBADF);
    EXPECT_FALSE(ahead.passed());
}

TEST_F(ReadAheadTest, DestroyedWithAReadInFlight) {
    char piece[4096];
    for (int i = 0; i < 50; ++i) {
        ReadAhead ahead(source_, [](std::string_view) { return true; });
        ahead.start(0, piece, sizeof piece);
    }
    SUCCEED();  // no hang, no use of a destroyed object (the sanitizers watch)
}

}  // namespace
}  // namespace tovane
