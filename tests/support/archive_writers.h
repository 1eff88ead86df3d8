// Archive writers for tests. Versions 00 to 06 are written only here, as the
// exact inverse of the reading rules; version 07 goes through the program's
// own entry writer.
#pragma once

#include <string>
#include <vector>

#include "cipher/random.h"
#include "cipher/str255.h"

namespace tazu::test {

struct StoredFile {
    std::string name;  // the stored name, e.g. "\\Docs\\a.txt"
    std::string content;
    bool personal_code = false;  // version 07 only
};

struct TestKeyStore {
    Str255 personal_code;
    Str255 key_mark;
};
// Two key stores with different personal codes and key marks.
const TestKeyStore& StoreA();
const TestKeyStore& StoreB();

// The marker "Tazu16x32.0V.0".
std::string Marker(int version);

// One entry of version 0 to 6, marker included. block_lengths gives the
// length byte of each block, data bytes plus 7 random bytes, or random
// bytes only when 7 or less (as only a damaged archive holds); empty, the
// blocks carry kChunkSize data bytes each.
std::string WriteOlderEntry(int version, const Str255& password, const StoredFile& file,
                            Random& random, const std::vector<std::size_t>& block_lengths = {});

// Entries of one version followed by the trailer: for version 07 the byte
// 0xFF and the signature over the EntryChain, for older versions 0xFF.
std::string WriteArchive(int version, const Str255& password, const std::vector<StoredFile>& files,
                         Random& random, const TestKeyStore& store = StoreA());

// A version-07 archive without its trailer (entries only).
std::string WriteEntries07(const Str255& password, const std::vector<StoredFile>& files,
                           Random& random, const TestKeyStore& store, Str255& entry_chain);

}  // namespace tazu::test
