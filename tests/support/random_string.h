// Random test inputs: strings of random bytes drawn in order.
#pragma once

#include <cstddef>

#include "cipher/random.h"
#include "cipher/str255.h"

namespace tazu {

inline Str255 RandomString(Random& random, std::size_t len) {
    Str255 s;
    s.resize(len);
    random.Bytes(s.data(), s.size());
    return s;
}

}  // namespace tazu
