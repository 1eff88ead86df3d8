// The existing-file question both the command line and the stub ask: asked
// again until answered, the capital letters answering for all, the end of
// input cancelling.
#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

#include "terminal/existing_file.h"

namespace tazu::test {
namespace {

using terminal::AskExistingFile;

struct Asked {
    ExistingFileChoice choice;
    bool for_all;
    std::string shown;
};

Asked Ask(const std::string& input) {
    std::istringstream in(input);
    std::ostringstream err;
    auto* const old_in = std::cin.rdbuf(in.rdbuf());
    auto* const old_err = std::cerr.rdbuf(err.rdbuf());
    bool for_all = false;
    const ExistingFileChoice choice = AskExistingFile("dir/a\x1b.txt", "choose: ", for_all);
    std::cin.rdbuf(old_in);
    std::cerr.rdbuf(old_err);
    return {choice, for_all, err.str()};
}

TEST(ExistingFileQuestion, AsksAgainUntilAnsweredAndShowsTheNameEscaped) {
    const Asked asked = Ask("x\n\nr\n");
    EXPECT_EQ(asked.choice, ExistingFileChoice::Replace);
    EXPECT_FALSE(asked.for_all);
    const std::string once = "Файл уже существует: dir/a\\x1b.txt\nchoose: ";
    EXPECT_EQ(asked.shown, once + once + once);
}

TEST(ExistingFileQuestion, CapitalsAnswerForAllAndTheEndOfInputCancels) {
    EXPECT_EQ(Ask("S\n").choice, ExistingFileChoice::Skip);
    EXPECT_TRUE(Ask("S\n").for_all);
    EXPECT_TRUE(Ask("R\n").for_all);
    EXPECT_FALSE(Ask("s\n").for_all);
    EXPECT_EQ(Ask("C\n").choice, ExistingFileChoice::Cancel);
    EXPECT_EQ(Ask("c\n").choice, ExistingFileChoice::Cancel);
    const Asked ended = Ask("maybe\n");
    EXPECT_EQ(ended.choice, ExistingFileChoice::Cancel);
    EXPECT_FALSE(ended.for_all);
}

}  // namespace
}  // namespace tazu::test
