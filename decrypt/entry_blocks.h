// The block loops of an entry, between its header and its end check.
#pragma once

#include <cstdint>

#include "decrypt/entry_data.h"
#include "io/clock.h"

namespace tazu {

// What the block loops of one entry keep between blocks.
struct BlockState {
    OutputStream* out = nullptr;
    OutputTarget* target = nullptr;  // the file out writes to, named at the end
    std::int32_t damaged = 0;
    std::uint32_t sum = 0;
    std::int64_t pending_bytes = 0;
    std::int32_t pending_blocks = 0;
    TimeOfDay last_update = CurrentTimeOfDay();
    Str255 end_signature;
    Str255 length;
    Str255 ciphertext;
    Str255 signature;
    bool cut = false;  // the next entry was found inside this one's blocks
};

// The blocks of a version-07 entry: both block keys and the signature
// through the fused cipher, which gives the same bytes as the transforms.
// Stops after the end record, at the end of the file, or where the next
// entry starts inside a block (state.cut). False when the entry failed
// (result_code set: kWriteError or kAborted).
bool DecryptBlocks07(EntryContext& context, const EntryRules& rules, const EntryKeys& keys,
                     BlockState& state, DecryptCode& result_code);

// The same for an entry of versions 00 to 06, one transform at a time.
bool DecryptOlderBlocks(EntryContext& context, const EntryRules& rules, EntryKeys& keys,
                        BlockState& state, DecryptCode& result_code);

}  // namespace tazu
