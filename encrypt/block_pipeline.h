// The data blocks of an entry enciphered on two threads beside the
// caller's. Every block's random bytes are drawn before it is enciphered,
// so the caller reads the chunks and draws their random bytes in order, one
// thread follows the block key chain enciphering and signing each block
// and summing the chunks, and a second writes the records, in batches of
// blocks. For the same source and random bytes the records
// written equal the block-by-block loop's byte for byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "cipher/block_cipher.h"
#include "cipher/random.h"
#include "io/file_io.h"

namespace tazu {

enum class BlockWriteEnd { kSourceEnded, kWriteFailed, kStopped };

// Called in order for every block written, with its chunk size; false
// stops the run.
using BlockWriteProgress = std::function<bool(std::size_t chunk_size)>;

// Enciphers and writes the blocks of source's remaining data, adding the
// chunks to sum. Runs only where the pipeline's threads can run beside the
// caller (else kSourceEnded at once, with nothing read): the caller's own
// loop then does the work.
BlockWriteEnd EncipherBlocks(InputStream& source, BlockCipher& cipher, Random& random,
                             OutputStream& archive, std::uint32_t& sum,
                             const BlockWriteProgress& progress);

}  // namespace tazu
