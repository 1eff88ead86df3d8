// Clearing secrets that outlive the values holding them.
#pragma once

#include <string.h>

#include <cstddef>

namespace tazu {

// Overwrites count bytes at data in a way the compiler may not leave out.
// The random source wipes what it hands out on every block, so with the C
// library's explicit_bzero this stays one call, as it always was; other
// systems (Windows) define it in their platform file.
#if defined(__GLIBC__)
inline void WipeBytes(void* data, std::size_t count) {
    explicit_bzero(data, count);
}
#else
void WipeBytes(void* data, std::size_t count);
#endif

// Overwrites the stack below the caller's frame, where the functions it
// called kept their temporaries: the by-value copies of salts, block keys
// and passwords that the keyed transforms and envelopes make on the way.
// Called when an entry ends, from the frame that called the entry's code;
// that code is kept out of line ([[gnu::noinline]]), so that its frame lies
// below the wiped part and not inside the caller's. The vector registers,
// which the vectorised transforms leave holding key bytes, are cleared too.
void WipeStackBelow();

}  // namespace tazu
