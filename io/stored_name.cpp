#include "io/stored_name.h"

#include <cstdio>
#include <utility>

#include "io/native.h"

namespace tazu {

namespace {

constexpr std::size_t kMaxStoredName = 255;

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool HasDrivePrefix(std::string_view name) {
    return name.size() >= 2 && name[1] == ':' &&
           ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'));
}

StoredNameProblem CheckParts(std::string_view name, std::vector<std::string>* components) {
    std::size_t pos = IsSeparator(name[0]) ? 1 : 0;
    while (true) {
        std::size_t end = pos;
        while (end < name.size() && !IsSeparator(name[end])) {
            ++end;
        }
        const std::string_view part = name.substr(pos, end - pos);
        if (part.empty()) {
            return StoredNameProblem::kEmptyPart;
        }
        if (part == "." || part == "..") {
            return StoredNameProblem::kDotPart;
        }
        if (!NameComponentAllowed(part)) {
            return StoredNameProblem::kNotHere;
        }
        if (components) {
            components->emplace_back(part);
        }
        if (end == name.size()) {
            return StoredNameProblem::kNone;
        }
        pos = end + 1;
    }
}

// The code point of a well-formed UTF-8 sequence at text[i] and its length,
// or length 0 when the bytes there are not UTF-8.
std::pair<char32_t, std::size_t> DecodeUtf8(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) {
        return {lead, 1};
    }
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
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

// Characters that move, hide or break text: C1 controls, the bidirectional
// marks, embeddings, overrides and isolates, zero-width characters, the
// line and paragraph separators and the byte order mark.
bool IsDisguising(char32_t cp) {
    return (cp >= 0x80 && cp <= 0x9F) || cp == 0x061C || (cp >= 0x200B && cp <= 0x200F) ||
           (cp >= 0x2028 && cp <= 0x202E) || (cp >= 0x2060 && cp <= 0x2069) || cp == 0xFEFF;
}

}  // namespace

StoredNameProblem CheckStoredName(std::string_view name, std::vector<std::string>* components) {
    if (components) {
        components->clear();
    }
    StoredNameProblem problem = StoredNameProblem::kNone;
    if (name.empty()) {
        problem = StoredNameProblem::kEmpty;
    } else if (name.size() > kMaxStoredName) {
        problem = StoredNameProblem::kTooLong;
    } else if (name.find('\0') != std::string_view::npos) {
        problem = StoredNameProblem::kNulByte;
    } else if (HasDrivePrefix(name)) {
        problem = StoredNameProblem::kDrivePrefix;
    } else {
        problem = CheckParts(name, components);
    }
    if (problem != StoredNameProblem::kNone && components) {
        components->clear();
    }
    return problem;
}

std::string SingleFileStoredName(std::string_view name, bool own_name, StoredNameProblem& problem) {
    while (name.size() > 2 && name.substr(0, 2) == "./") {
        name.remove_prefix(2);
    }
    problem = own_name && name.find('\\') != std::string_view::npos ? StoredNameProblem::kSeparator
                                                                    : CheckStoredName(name);
    return problem == StoredNameProblem::kNone ? std::string(name) : std::string();
}

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
