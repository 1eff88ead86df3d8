// A file system path in Windows' terms (UTF-16 text, "\" or "/" between
// components, "C:" and "\\server" roots) with the few operations the
// engines use: joining, the parent folder, the last component.
//
// The Windows build uses it in place of std::filesystem::path. The C++
// runtime's path class converts between narrow and wide text through the
// locale machinery, which a static Windows link then carries whole with
// its streams (std::filesystem and all it brings came to about 800 KB);
// the self-decrypting stub, which is copied in front of every
// self-decrypting file, stays small without it. Conversions between text
// and paths go through PathFromText and PathString (io/native.h), which
// take UTF-8 on Windows. The class itself calls no system function, so its
// rules are checked on every system.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#ifdef _WIN32
#include <filesystem>
#endif

namespace tazu {

class WidePath {
  public:
    using string_type = std::wstring;

    WidePath() = default;
    WidePath(std::wstring text) : text_(std::move(text)) {}
    WidePath(const wchar_t* text) : text_(text) {}
#ifdef _WIN32
    // For the code that works in std::filesystem terms (the command line
    // and the tests); the stub never calls these, so it links no part of
    // std::filesystem.
    WidePath(const std::filesystem::path& path) : text_(path.native()) {}
    operator std::filesystem::path() const {
        return std::filesystem::path(text_);
    }
#endif

    const std::wstring& native() const {
        return text_;
    }
    const wchar_t* c_str() const {
        return text_.c_str();
    }
    bool empty() const {
        return text_.empty();
    }

    // "C:" or "\\server"; empty for a path without one.
    WidePath root_name() const {
        return WidePath(text_.substr(0, RootNameLength()));
    }
    bool has_root_directory() const {
        const std::size_t n = RootNameLength();
        return n < text_.size() && IsSeparator(text_[n]);
    }
    // A drive or server with a root folder: "C:\x", "\\server\share".
    bool is_absolute() const {
        return RootNameLength() > 0 && has_root_directory();
    }
    bool is_relative() const {
        return !is_absolute();
    }

    // The last component; empty when the path ends with a separator or is
    // a root alone.
    WidePath filename() const {
        return has_filename() ? WidePath(text_.substr(LastComponentStart())) : WidePath();
    }
    bool has_filename() const {
        return RelativeStart() < text_.size() && !IsSeparator(text_.back());
    }

    // The path without its last component: "C:\a" of "C:\a\b", "C:\" of
    // "C:\a", "a\b" of "a\b\"; a root alone is its own parent.
    WidePath parent_path() const {
        const std::size_t start = RelativeStart();
        if (start == text_.size()) {
            return *this;
        }
        std::size_t end = IsSeparator(text_.back()) ? text_.size() : LastComponentStart();
        while (end > start && IsSeparator(text_[end - 1])) {
            --end;
        }
        return WidePath(text_.substr(0, end));
    }

    // Joins as std::filesystem::path does on Windows: an absolute right
    // side, or one on another drive, replaces the left; one with a root
    // folder keeps only the left's drive; anything else is appended behind
    // one separator.
    WidePath& operator/=(const WidePath& right) {
        const std::size_t right_root = right.RootNameLength();
        if (right.is_absolute() ||
            (right_root > 0 &&
             !SameText(right.text_.substr(0, right_root), text_.substr(0, RootNameLength())))) {
            text_ = right.text_;
            return *this;
        }
        if (right.has_root_directory()) {
            text_ = text_.substr(0, RootNameLength()) + right.text_.substr(right_root);
            return *this;
        }
        if (has_filename()) {
            text_ += L'\\';
        }
        text_.append(right.text_, right_root);
        return *this;
    }

    // Only WidePath on both sides: on Windows a std::filesystem::path on
    // either side picks std::filesystem's own operators instead of an
    // ambiguous choice between the two.
    template <class L, class R>
    requires std::is_same_v<L, WidePath> && std::is_same_v<R, WidePath>
    friend WidePath operator/(const L& left, const R& right) {
        WidePath joined = left;
        joined /= right;
        return joined;
    }
    // Equal when the texts are, "/" and "\" counting as the same.
    template <class L, class R>
    requires std::is_same_v<L, WidePath> && std::is_same_v<R, WidePath>
    friend bool operator==(const L& left, const R& right) {
        return SameText(left.text_, right.text_);
    }

  private:
    static bool IsSeparator(wchar_t c) {
        return c == L'\\' || c == L'/';
    }

    static bool SameText(std::wstring_view a, std::wstring_view b) {
        if (a.size() != b.size()) {
            return false;
        }
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (a[i] != b[i] && !(IsSeparator(a[i]) && IsSeparator(b[i]))) {
                return false;
            }
        }
        return true;
    }

    std::size_t RootNameLength() const {
        if (text_.size() >= 2 && text_[1] == L':' &&
            ((text_[0] >= L'A' && text_[0] <= L'Z') || (text_[0] >= L'a' && text_[0] <= L'z'))) {
            return 2;
        }
        // "\\server", "\\?" and "\\." up to the next separator.
        if (text_.size() >= 3 && IsSeparator(text_[0]) && IsSeparator(text_[1]) &&
            !IsSeparator(text_[2])) {
            const std::size_t end = text_.find_first_of(L"\\/", 2);
            return end == std::wstring::npos ? text_.size() : end;
        }
        return 0;
    }

    // Where the components after the root name and root folder begin.
    std::size_t RelativeStart() const {
        std::size_t n = RootNameLength();
        while (n < text_.size() && IsSeparator(text_[n])) {
            ++n;
        }
        return n;
    }

    std::size_t LastComponentStart() const {
        const std::size_t start = RelativeStart();
        const std::size_t last = text_.find_last_of(L"\\/");
        return last == std::wstring::npos || last < start ? start : last + 1;
    }

    std::wstring text_;
};

}  // namespace tazu
