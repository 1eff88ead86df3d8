#include "cli/command_line.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <iostream>
#include <iterator>

#include "cipher/constants.h"
#include "format/language.h"
#include "io/native.h"
#include "keystore/keystore_location.h"
#include "program/process.h"

namespace tazu::cli {

bool Args::Has(const std::string& name) const {
    return std::find(flags_.begin(), flags_.end(), name) != flags_.end() || Value(name).has_value();
}

std::optional<std::string> Args::Value(const std::string& name) const {
    for (const auto& [k, v] : values_) {
        if (k == name) {
            return v;  // an option is given once at most
        }
    }
    return std::nullopt;
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
    std::cerr << question << Tr(" [д/Н] ") << std::flush;
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
        error = TrFill("укажите только один из {}-stdin, {}-file и {}-file-raw",
                       {prefix, prefix, prefix});
        return false;
    }
    return true;
}

}  // namespace tazu::cli
