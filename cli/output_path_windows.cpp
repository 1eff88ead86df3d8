// The Windows side of cli/output_path.h: a symbolic link at the archive's
// path is followed as on POSIX systems; the causes come from the file
// system's own answers.
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "cli/output_path.h"
#include "format/texts.h"
#include "io/native.h"
#include "io/native_windows.h"
#include "terminal/terminal.h"

namespace tazu::cli {
namespace fs = std::filesystem;

namespace {

fs::path FolderOf(const fs::path& path) {
    return path.has_parent_path() ? path.parent_path() : fs::path(L".");
}

}  // namespace

bool ResolveOutputPath(const fs::path& path, fs::path& resolved, std::string& error) {
    resolved = path;
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        const fs::file_status st = fs::symlink_status(resolved, ec);
        if (ec || !fs::exists(st) || fs::is_regular_file(st) || fs::is_directory(st)) {
            return true;  // a new file, a file, or a folder that fails in the run
        }
        if (!fs::is_symlink(st)) {
            error = TrFill("{} - не обычный файл: отказано (-o - пишет на стандартный вывод)",
                           {PathString(path)});
            return false;
        }
        const fs::path target = fs::read_symlink(resolved, ec);
        if (ec) {
            error =
                TrFill("не удалось прочитать ссылку {}: {}", {PathString(resolved), ec.message()});
            return false;
        }
        resolved = target.is_absolute() ? target : resolved.parent_path() / target;
    }
    error = TrFill("{}: слишком много уровней символических ссылок", {PathString(path)});
    return false;
}

std::string WriteFailureCause(const fs::path& path) {
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
        return TrFill("не удалось записать {}: это папка", {PathString(path)});
    }
    const fs::path folder = FolderOf(path);
    const DWORD attributes = ::GetFileAttributesW(SystemPath(folder).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return TrFill("не удалось записать {}: {}", {PathString(path), SystemErrorText(ENOENT)});
    }
    ULARGE_INTEGER free_bytes{};
    if (::GetDiskFreeSpaceExW(SystemPath(folder).c_str(), &free_bytes, nullptr, nullptr)) {
        return TrFill(
            "не удалось записать {}: {} свободно в {}",
            {PathString(path), terminal::HumanBytes(free_bytes.QuadPart), PathString(folder)});
    }
    return TrFill("не удалось записать {}", {PathString(path)});
}

bool FolderTakesFiles(const fs::path& folder) {
    // A read-only attribute on a folder does not stop files being made in
    // it on Windows; what the access rules refuse shows in the run.
    std::error_code ec;
    return fs::is_directory(folder, ec);
}

std::string WriteFailureCause(const fs::path& path, std::optional<std::uint64_t> free_then) {
    if (!free_then) {
        return WriteFailureCause(path);
    }
    return TrFill("не удалось записать {}: {} свободно в {}",
                  {PathString(path), terminal::HumanBytes(static_cast<double>(*free_then)),
                   PathString(FolderOf(path))});
}

std::string FolderWriteFailureCause(const fs::path& folder) {
    return WriteFailureCause(folder / L"x");
}

std::string ReadFailureCause(const fs::path& path) {
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (ec || !fs::exists(st)) {
        return TrFill("не удалось прочитать {}: {}", {PathString(path), SystemErrorText(ENOENT)});
    }
    if (fs::is_directory(st)) {
        return TrFill("не удалось прочитать {}: это папка", {PathString(path)});
    }
    if (!fs::is_regular_file(st)) {
        return TrFill("не удалось прочитать {}: это не обычный файл", {PathString(path)});
    }
    return TrFill("не удалось прочитать {}", {PathString(path)});
}

std::string ErrorCodeText(const std::error_code& ec) {
    return ec.message();  // Windows error codes: the system's own text
}

bool SameFile(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec);
}

}  // namespace tazu::cli
