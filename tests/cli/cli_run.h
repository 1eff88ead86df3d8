// Running the built tazu16x32-cli in a temporary folder: arguments as shell
// words, standard input from a string, both outputs and the status kept.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "keystore/keystore_file.h"
#include "tests/support/test_files.h"

namespace tazu::test {

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

// A path as one shell word.
std::string Q(const std::filesystem::path& path);

class CliTest : public ::testing::Test {
  protected:
    CliTest();

    // Runs "tazu16x32-cli ARGS" in the folder with input on standard
    // input and without a controlling terminal.
    CliResult Cli(const std::string& args, const std::string& input = "");
    // Runs a whole shell command line (TAZU stands for the program) the same way.
    CliResult Shell(const std::string& command, const std::string& input = "");

    // Runs the programs under an English locale from now on: the tests run
    // in the C locale, where the programs speak Russian.
    void SpeakEnglish() { english_ = true; }

    // "--password-file F" for the password "pw", written with a line end.
    std::string Pw() const { return "--password-file " + Q(dir / "pw"); }
    // Makes a key store at path holding the given personal code and key mark.
    static void MakeKeyStore(const std::filesystem::path& path, const Str255& personal_code,
                             const Str255& key_mark);

    TempDir dir;

  private:
    bool english_ = false;
};

}  // namespace tazu::test
