// The extraction driver: walks the entries of an archive, re-creates each
// stored file under the destination folder, and ends with a result code.
#pragma once

#include <filesystem>

#include "cipher/str255.h"
#include "decrypt/decrypt_host.h"
#include "decrypt/entry_data.h"
#include "decrypt/result_code.h"
#include "encrypt/file_io.h"

namespace tazu {

// Everything one run carries from entry to entry besides the file itself.
struct DecryptSession {
    EntryContext context;
    Str255 entry_chain;  // rebuilt from the opened salts to check the trailer
};

// Older entry formats, called right after their marker was read. They are
// not given the personal code: entries of these versions never use it.
bool DecryptEntry00(const Str255& password, DecryptSession& session, DecryptCode& resultCode,
                    int version = 0);
bool DecryptEntry02(const Str255& password, DecryptSession& session, DecryptCode& resultCode);
bool DecryptEntry03(const Str255& password, DecryptSession& session, DecryptCode& resultCode);
bool DecryptEntry04(const Str255& password, DecryptSession& session, DecryptCode& resultCode);
bool DecryptEntry05(const Str255& password, DecryptSession& session, DecryptCode& resultCode,
                    int version = 5);

// One entry of any version. At the end of the data resultCode becomes
// kEndOfData, or kDamaged when a version-07 archive lacks its trailer.
bool DecryptEntry(const Str255& password, const Str255& personalCode, const Str255& keyMark,
                  DecryptSession& session, Str255& versionHolder, DecryptCode& resultCode);

// The whole run over an open archive stream. The archive's identity keeps
// it from being chosen as an output file.
bool DecryptArchive(const Str255& password, const Str255& personalCode, const Str255& keyMark,
                    InputStream& file, const FileIdentity& archive,
                    const std::filesystem::path& destinationFolder, DecryptHost& host,
                    DecryptRunState& state, DecryptCode& resultCode, bool writeFiles = true);

// The whole run over an archive file. An archive that cannot be opened
// ends with kReadError. Like the dialog expects, the return value is false
// whenever the run ended with a code to show, kEndOfData included.
// With writeFiles false nothing is written: the entries are read, checked
// and reported as an extraction would report them.
bool DecryptObject(const Str255& password, const Str255& personalCode, const Str255& keyMark,
                   const std::filesystem::path& encryptedFileName,
                   const std::filesystem::path& destinationFolder, DecryptHost& host,
                   DecryptRunState& state, DecryptCode& resultCode, bool writeFiles = true);

}  // namespace tazu
