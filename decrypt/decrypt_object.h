// The extraction driver: walks the entries of an archive, re-creates each
// stored file under the destination folder, and ends with a result code.
#pragma once

#include "cipher/str255.h"
#include "decrypt/decrypt_host.h"
#include "decrypt/entry_data.h"
#include "decrypt/result_code.h"
#include "io/file_io.h"
#include "io/path.h"

namespace tazu {

// Everything one run carries from entry to entry besides the file itself.
struct DecryptSession {
    EntryContext context;
    Str255 entry_chain;  // rebuilt from the opened salts to check the trailer
    // The last entry's stored name as far as its header was read, and
    // whether the last marker read was the archive's end.
    Str255 last_name;
    bool at_trailer = false;
};

// Older entry formats, called right after their marker was read. They are
// not given the personal code: entries of these versions never use it.
bool DecryptEntry00(const Str255& password, DecryptSession& session, DecryptCode& result_code,
                    int version = 0);
bool DecryptEntry02(const Str255& password, DecryptSession& session, DecryptCode& result_code);
bool DecryptEntry03(const Str255& password, DecryptSession& session, DecryptCode& result_code);
bool DecryptEntry04(const Str255& password, DecryptSession& session, DecryptCode& result_code);
bool DecryptEntry05(const Str255& password, DecryptSession& session, DecryptCode& result_code,
                    int version = 5);

// One entry of any version. At the end of the data result_code becomes
// kEndOfData, or kDamaged when a version-07 archive lacks its trailer.
bool DecryptEntry(const Str255& password, const Str255& personal_code, const Str255& key_mark,
                  DecryptSession& session, Str255& version_holder, DecryptCode& result_code);

// The whole run over an open archive stream. The archive's identity keeps
// it from being chosen as an output file.
bool DecryptArchive(const Str255& password, const Str255& personal_code, const Str255& key_mark,
                    InputStream& file, const std::optional<FileIdentity>& archive,
                    const Path& destination_folder, DecryptHost& host, DecryptRunState& state,
                    DecryptCode& result_code, bool write_files = true, bool recover = false);

// The whole run over an archive file. An archive that cannot be opened
// ends with kReadError. Like the dialog expects, the return value is false
// whenever the run ended with a code to show, kEndOfData included.
// With write_files false nothing is written: the entries are read, checked
// and reported as an extraction would report them.
//
// With recover set, damage that would end the run (a header that is cut or
// badly signed, a marker that differs from the first entry's) is passed
// over instead: the reader searches on from the failed entry's start for the
// next entry whose salt record verifies and opens with the password, reports
// the bytes it passed over, and goes on from there. A block whose signature
// fails is checked for the start of the next entry inside it, so an entry
// cut short does not swallow the one behind it. A wrong password and
// another key store still end the run. state.recovered counts the
// stretches passed over; the trailer of a recovered archive no longer
// matches, so such a run ends with kDamaged.
bool DecryptObject(const Str255& password, const Str255& personal_code, const Str255& key_mark,
                   const Path& encrypted_file_name, const Path& destination_folder,
                   DecryptHost& host, DecryptRunState& state, DecryptCode& result_code,
                   bool write_files = true, bool recover = false);

}  // namespace tazu
