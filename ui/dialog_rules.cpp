#include "ui/dialog_rules.h"

#include "encrypt/archive_name.h"

#include <cstdio>
#include <string_view>
#include <system_error>

namespace tazu {

namespace fs = std::filesystem;

std::string ObjectDisplayText(const fs::path& object, bool is_file) {
    std::string text = object.native();
    if (is_file) {
        return text;
    }
    return text + (!text.empty() && text.back() == '/' ? "*.*" : "/*.*");
}

ArchiveNameProblem CheckArchiveName(const std::string& name_text, const fs::path& archive,
                                    const fs::path& object) {
    if (name_text.empty() || archive.empty()) {
        return ArchiveNameProblem::kEmpty;
    }
    if (name_text.back() == '/') {
        return ArchiveNameProblem::kEndsWithSeparator;
    }
    std::error_code ec;
    if (fs::is_directory(archive, ec)) {
        return ArchiveNameProblem::kExistingFolder;
    }
    const bool itself = fs::equivalent(archive, object, ec) && !ec;
    return itself ? ArchiveNameProblem::kObjectItself : ArchiveNameProblem::kNone;
}

std::string_view ArchiveNameReason(ArchiveNameProblem problem) {
    switch (problem) {
        case ArchiveNameProblem::kNone:
            break;
        case ArchiveNameProblem::kEmpty:
            return "Имя файла не указано.";
        case ArchiveNameProblem::kEndsWithSeparator:
            return "Имя оканчивается знаком «/»: это имя папки, а не файла.";
        case ArchiveNameProblem::kExistingFolder:
            return "Под этим именем уже есть папка.";
        case ArchiveNameProblem::kObjectItself:
            return "Это сам шифруемый файл: его нельзя заменить архивом.";
    }
    return {};
}

fs::path ProposedDialogArchivePath(const fs::path& object, bool is_file, bool self_decrypting) {
    const fs::path proposal = ProposedArchivePath(object, is_file, self_decrypting);
    if (!is_file || proposal != object.lexically_normal()) {
        return proposal;
    }
    return fs::path(proposal.native() + proposal.extension().native());
}

EncryptRequestProblem CheckEncryptRequest(bool unusable_name, bool hidden, bool passwords_differ,
                                          bool password_empty) {
    if (unusable_name) {
        return EncryptRequestProblem::kBadName;
    }
    if (hidden && passwords_differ) {
        return EncryptRequestProblem::kMismatch;
    }
    if (password_empty) {
        return EncryptRequestProblem::kNoPassword;
    }
    return EncryptRequestProblem::kNone;
}

std::string ProposedDestination(const fs::path& archive) {
    return WithFinalSeparator(archive.parent_path().native());
}

std::string WithFinalSeparator(std::string text) {
    if (!text.empty() && text.back() != '/') {
        text += '/';
    }
    return text;
}

bool WrongPasswordClosesDialog(std::uint8_t& counter, Random& random) {
    if (counter < 255) {
        ++counter;
    }
    if (counter < 4) {
        return false;
    }
    const std::uint32_t draw = random.Below(10);
    return draw == 0 || draw == 7 || draw == 9;
}

namespace {

// The code point of a well-formed UTF-8 sequence at text[i] and its length,
// or length 0 when the bytes there are not UTF-8.
std::pair<char32_t, std::size_t> DecodeUtf8(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) {
        return {lead, 1};
    }
    std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || i + length > text.size()) {
        return {0, 0};
    }
    char32_t cp = lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            return {0, 0};
        }
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < least[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return {0, 0};
    }
    return {cp, length};
}

// Characters that move, hide or break text: controls (C0, DEL, C1), the
// bidirectional marks, embeddings, overrides and isolates, zero-width
// characters, the line and paragraph separators and the byte order mark.
bool IsDisguising(char32_t cp) {
    return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F) || cp == 0x061C ||
           (cp >= 0x200B && cp <= 0x200F) || (cp >= 0x2028 && cp <= 0x202E) ||
           (cp >= 0x2060 && cp <= 0x2069) || cp == 0xFEFF;
}

}  // namespace

std::string VisibleText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    char escape[16];
    for (std::size_t i = 0; i < text.size();) {
        const auto [cp, length] = DecodeUtf8(text, i);
        if (length == 0 || cp < 0x20 || cp == 0x7F) {
            std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned char>(text[i]));
            out += escape;
            ++i;
        } else if (IsDisguising(cp)) {
            std::snprintf(escape, sizeof escape, "\\u{%04X}", static_cast<unsigned>(cp));
            out += escape;
            i += length;
        } else {
            out.append(text.substr(i, length));
            i += length;
        }
    }
    return out;
}

}  // namespace tazu
