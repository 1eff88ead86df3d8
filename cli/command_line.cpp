#include "cli/command_line.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <iostream>
#include <iterator>

#include "cipher/constants.h"
#include "io/native.h"
#include "keystore/keystore_location.h"
#include "program/process.h"

namespace tazu::cli {

Args::Args(const std::vector<std::string>& argv, const std::vector<std::string>& value_options,
           const std::vector<std::string>& flags) {
    auto known = [](const std::vector<std::string>& list, const std::string& s) {
        return std::find(list.begin(), list.end(), s) != list.end();
    };
    bool only_positional = false;
    for (std::size_t i = 0; i < argv.size(); ++i) {
        const std::string& a = argv[i];
        if (only_positional || a.empty() || a[0] != '-' || a == "-") {
            positional_.push_back(a);
        } else if (a == "--") {
            only_positional = true;
        } else if (known(value_options, a)) {
            if (i + 1 >= argv.size()) {
                error_ = a + " needs a value";
                return;
            }
            values_.emplace_back(a, argv[++i]);
        } else if (known(flags, a)) {
            flags_.push_back(a);
        } else {
            error_ = "unknown option " + a;
            return;
        }
    }
}

bool Args::Has(const std::string& name) const {
    return std::find(flags_.begin(), flags_.end(), name) != flags_.end() || Value(name).has_value();
}

std::optional<std::string> Args::Value(const std::string& name) const {
    std::optional<std::string> found;
    for (const auto& [k, v] : values_) {
        if (k == name) {
            found = v;  // the last one wins
        }
    }
    return found;
}

std::uint64_t SourceSize(const std::filesystem::path& source, bool folder) {
    if (!StderrIsTerminal()) {
        return 0;
    }
    std::error_code ec;
    if (!folder) {
        const auto size = std::filesystem::file_size(source, ec);
        return ec ? 0 : size;
    }
    std::uint64_t total = 0;
    auto it = std::filesystem::recursive_directory_iterator(
        source, std::filesystem::directory_options::skip_permission_denied, ec);
    for (const auto end = std::filesystem::recursive_directory_iterator(); !ec && it != end;
         it.increment(ec)) {
        const auto st = it->symlink_status(ec);
        if (!ec && std::filesystem::is_regular_file(st)) {
            const auto size = it->file_size(ec);
            total += ec ? 0 : size;
        }
        ec.clear();
    }
    return total;
}

namespace {

// Reads one line from fd without its newline. False at end of input with
// nothing read.
bool ReadLineFd(int fd, std::string& line) {
    line.clear();
    char c = 0;
    bool any = false;
    while (line.size() < 4096) {
        const long got = ReadSome(fd, &c, 1);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return any;
        }
        any = true;
        if (c == '\n') {
            return true;
        }
        line.push_back(c);
    }
    return true;
}

}  // namespace

bool AskYesNo(const std::string& question) {
    if (!StdinIsTerminal()) {
        return false;
    }
    std::cerr << question << " [y/N] " << std::flush;
    std::string answer;
    if (!ReadLineFd(0, answer)) {
        return false;
    }
    return answer == "y" || answer == "Y" || answer == "yes" || answer == "да" || answer == "д";
}

void PrintError(const std::string& message) {
    std::cerr << "tazu16x32-cli: " << Escaped(message) << "\n";
}

void PrintErrorLines(const std::string& message) {
    for (std::size_t at = 0, next = 0; at < message.size(); at = next + 1) {
        next = std::min(message.find('\n', at), message.size());
        PrintError(message.substr(at, next - at));
    }
}

bool PasswordSourceFrom(const Args& args, PasswordSource& source, std::string& error,
                        const std::string& prefix) {
    source = PasswordSource{};
    int given = 0;
    if (args.Has(prefix + "-stdin")) {
        source.kind = PasswordSource::Kind::kStdin;
        ++given;
    }
    if (auto f = args.Value(prefix + "-file")) {
        source = {PasswordSource::Kind::kFileLine, *f};
        ++given;
    }
    if (auto f = args.Value(prefix + "-file-raw")) {
        source = {PasswordSource::Kind::kFileRaw, *f};
        ++given;
    }
    if (given > 1) {
        error = "give only one of " + prefix + "-stdin, " + prefix + "-file and " + prefix +
                "-file-raw";
        return false;
    }
    return true;
}

}  // namespace tazu::cli
