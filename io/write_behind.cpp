#include "io/write_behind.h"

#include <utility>

namespace tazu {

bool WriteBehind::Hand(std::unique_ptr<std::uint8_t[]>& buffer, std::size_t size) {
    if (!Finish()) {
        return false;
    }
    if (!writing_) {
        writing_.reset(new std::uint8_t[buffer_size_]);
    }
    std::swap(writing_, buffer);
    worker_.Submit([this, data = writing_.get(), size] { failed_ = !out_.Write(data, size); });
    return true;
}

bool WriteBehind::WriteNow(const std::uint8_t* data, std::size_t size) {
    if (!Finish()) {
        return false;
    }
    failed_ = size > 0 && !out_.Write(data, size);
    return !failed_;
}

bool WriteBehind::Finish() {
    worker_.Wait();
    return !failed_;
}

}  // namespace tazu
