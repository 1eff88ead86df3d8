// The existing-file question both the command line and the stub ask: asked
// again until answered, the capital letters answering for all, the end of
// input cancelling.
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "terminal/existing_file.h"

namespace tazu::test {
namespace {

using terminal::AskExistingFile;

struct Asked {
    ExistingFileChoice choice;
    bool for_all;
    std::string shown;
};

struct CloseFile {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, CloseFile>;

Asked Ask(const std::string& input) {
    const File in(std::tmpfile());
    const File err(std::tmpfile());
    std::fwrite(input.data(), 1, input.size(), in.get());
    std::fflush(in.get());
    ::lseek(::fileno(in.get()), 0, SEEK_SET);
    // The answers are read from standard input itself, byte by byte.
    const int saved_stdin = ::dup(0);
    ::dup2(::fileno(in.get()), 0);
    bool for_all = false;
    const ExistingFileChoice choice =
        AskExistingFile("dir/a\x1b\u202Etxt.exe", "choose: ", for_all, err.get());
    ::dup2(saved_stdin, 0);
    ::close(saved_stdin);
    std::string shown;
    std::rewind(err.get());
    for (int c; (c = std::fgetc(err.get())) != EOF;) {
        shown.push_back(static_cast<char>(c));
    }
    return {choice, for_all, shown};
}

TEST(ExistingFileQuestion, AsksAgainUntilAnsweredAndShowsTheNameEscaped) {
    const Asked asked = Ask("x\n\nr\n");
    EXPECT_EQ(asked.choice, ExistingFileChoice::Replace);
    EXPECT_FALSE(asked.for_all);
    const std::string once = "Файл уже существует: dir/a\\x1B\\u{202E}txt.exe\nchoose: ";
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
    // A last answer without its line end counts; a Windows console's line
    // end is no part of the answer.
    EXPECT_EQ(Ask("s").choice, ExistingFileChoice::Skip);
    EXPECT_TRUE(Ask("R\r\n").for_all);
}

}  // namespace
}  // namespace tazu::test
