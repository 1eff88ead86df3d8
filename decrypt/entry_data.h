// The part of an entry after its header: where its file goes, what happens
// when one exists, the data blocks, and the end check.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "decrypt/block_pipeline.h"
#include "decrypt/decrypt_host.h"
#include "decrypt/entry_header.h"
#include "decrypt/entry_rules.h"
#include "decrypt/output_target.h"
#include "decrypt/result_code.h"
#include "io/file_io.h"
#include "io/path.h"

namespace tazu {

class RewindableInput;

// A recovering run's means of looking for the next entry.
struct Recovery {
    RewindableInput& in;
    const Str255& password;
};

// What the entries of a run reuse, so that reading an archive of many small
// entries allocates nothing for each of them.
struct EntryScratch {
    DecipherBatches batches;
    std::string name;  // the stored name, as the host is asked about it
    std::vector<std::string> components;
    OutputFolders folders;  // the last entry's folder, held open
};

// What stays the same for all entries of a run.
struct EntryContext {
    InputStream& file;
    DecryptHost& host;
    DecryptRunState& state;
    Path destination;
    std::optional<FileIdentity> archive;
    bool write_files = true;       // false: read and check everything, write nothing
    Recovery* recovery = nullptr;  // set when the run recovers from damage
    EntryScratch& scratch;
};

// Reads past the rest of an entry, up to and including its end record.
// False only when the user aborted (result_code kAborted).
bool SkipEntryBlocks(InputStream& file, DecryptHost& host, DecryptRunState& state,
                     DecryptCode& result_code);

// Places, decrypts and checks the data of an entry whose header was read.
// Returns true when the file was written (intact or damaged, and for the
// versions whose rules say so) or skipped because it exists.
bool ExtractEntryData(EntryContext& context, const EntryRules& rules, EntryKeys& keys,
                      DecryptCode& result_code);

}  // namespace tazu
