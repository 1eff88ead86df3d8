#include "tests/cli/cli_run.h"

#include <sys/wait.h>

#include <cstdlib>

#include "cipher/random.h"

namespace tazu::test {

namespace fs = std::filesystem;

std::string Q(const fs::path& path) {
    std::string out = "'";
    for (const char c : path.native()) {
        if (c == '\'') {
            out += "'\\''";
        } else {
            out += c;
        }
    }
    return out + "'";
}

CliTest::CliTest() {
    WriteFile(dir / "pw", "pw\n");
}

CliResult CliTest::Shell(const std::string& command, const std::string& input) {
    WriteFile(dir / ".stdin", input);
    std::string line = command;
    for (std::size_t at = line.find("TAZU"); at != std::string::npos; at = line.find("TAZU", at)) {
        line.replace(at, 4, Q(TAZU_CLI_PATH));
    }
    const std::string locale = english_ ? "export LC_ALL=en_US.UTF-8; " : "";
    const std::string full = "cd " + Q(dir.path()) + " && setsid -w sh -c " +
                             Q(locale + "(" + line + ")") + " <.stdin >.stdout 2>.stderr";
    const int raw = std::system(full.c_str());
    CliResult r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = ReadFile(dir / ".stdout");
    r.err = ReadFile(dir / ".stderr");
    for (const char* name : {".stdin", ".stdout", ".stderr"}) {
        fs::remove(dir / name);
    }
    return r;
}

CliResult CliTest::Cli(const std::string& args, const std::string& input) {
    return Shell("TAZU " + args, input);
}

void CliTest::MakeKeyStore(const fs::path& path, const Str255& personal_code,
                           const Str255& key_mark) {
    KeyStoreValues values;
    values.settings = 0x18;
    values.personal_code = personal_code;
    values.key_mark = key_mark;
    SeededRandom random(5);
    ASSERT_EQ(WriteKeyStoreFile(path, Str255(), values, random), KeyStoreSaveCode::kOk);
}

}  // namespace tazu::test
