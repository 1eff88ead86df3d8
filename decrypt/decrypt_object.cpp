#include "decrypt/decrypt_object.h"

#include "cipher/wipe.h"
#include "decrypt/recovery.h"
#include "decrypt/version_marker.h"
#include "format/format.h"

namespace tazu {

namespace {

bool DecryptOlderEntry(int version, const Str255& password, DecryptSession& session,
                       DecryptCode& result_code) {
    if (password.empty()) {
        result_code = DecryptCode::kEmptyArgument;
        return false;
    }
    const EntryRules& rules = RulesFor(version);
    EntryKeys keys;
    const bool opened = ReadHeaderRecords(session.context.file, rules, password, Str255(), Str255(),
                                          session.context.host, keys, result_code);
    session.last_name = keys.stored_name;
    if (!opened) {
        return false;
    }
    return ExtractEntryData(session.context, rules, keys, result_code);
}

}  // namespace

bool DecryptEntry00(const Str255& password, DecryptSession& session, DecryptCode& result_code,
                    int version) {
    return DecryptOlderEntry(version == 1 ? 1 : 0, password, session, result_code);
}

bool DecryptEntry02(const Str255& password, DecryptSession& session, DecryptCode& result_code) {
    return DecryptOlderEntry(2, password, session, result_code);
}

bool DecryptEntry03(const Str255& password, DecryptSession& session, DecryptCode& result_code) {
    return DecryptOlderEntry(3, password, session, result_code);
}

bool DecryptEntry04(const Str255& password, DecryptSession& session, DecryptCode& result_code) {
    return DecryptOlderEntry(4, password, session, result_code);
}

bool DecryptEntry05(const Str255& password, DecryptSession& session, DecryptCode& result_code,
                    int version) {
    return DecryptOlderEntry(version == 6 ? 6 : 5, password, session, result_code);
}

// Out of line, so that the stack it used lies below the run's wipe.
[[gnu::noinline]] bool DecryptEntry(const Str255& password, const Str255& personal_code,
                                    const Str255& key_mark, DecryptSession& session,
                                    Str255& version_holder, DecryptCode& result_code) {
    if (password.empty() || personal_code.empty() || key_mark.empty()) {
        result_code = DecryptCode::kEmptyArgument;
        return false;
    }
    Str255 marker;
    session.last_name = Str255();
    const int version =
        ReadVersionMarker(session.context.file, version_holder, marker, result_code);
    session.at_trailer = version < 0 && result_code == DecryptCode::kEndOfData;
    if (version < 0) {
        // A version-07 archive (or one without entries) must end in exactly
        // its trailer, or entries may be missing.
        // An empty file is an empty archive.
        const bool no_entry = version_holder.view() == kNoVersion;
        const bool check_trailer = (no_entry && !marker.empty()) ||
                                   (!no_entry && MarkerVersion(version_holder) == kNewestVersion);
        if (result_code == DecryptCode::kEndOfData && check_trailer &&
            !(marker == ArchiveTrailer(session.entry_chain))) {
            result_code = DecryptCode::kDamaged;
        }
        return false;
    }
    switch (version) {
        case 0:
        case 1:
            return DecryptEntry00(password, session, result_code, version);
        case 2:
            return DecryptEntry02(password, session, result_code);
        case 3:
            return DecryptEntry03(password, session, result_code);
        case 4:
            return DecryptEntry04(password, session, result_code);
        case 5:
        case 6:
            return DecryptEntry05(password, session, result_code, version);
        default:
            break;
    }
    EntryKeys keys;
    const bool opened = ReadEntryHeader(session.context.file, password, personal_code, key_mark,
                                        session.context.host, keys, result_code);
    session.last_name = keys.stored_name;
    if (!opened) {
        return false;
    }
    AppendToEntryChain(session.entry_chain, keys.salt, keys.record_signature_key);
    return ExtractEntryData(session.context, RulesFor(kNewestVersion), keys, result_code);
}

namespace {

bool Recoverable(DecryptCode code) {
    return code == DecryptCode::kReadError || code == DecryptCode::kDamaged ||
           code == DecryptCode::kBadVersion;
}

// After a header failure in a recovering run: back to the failed entry's
// start, then forward to the next entry that opens, with a report line for
// what lay between. result_code becomes kOk when one was found, stays the
// failure's when the archive ended first, and kAborted on an abort.
void RecoverFromHeader(DecryptSession& session, RewindableInput& in, const Str255& password,
                       Str255& version_holder, std::uint64_t entry_start,
                       DecryptCode& result_code) {
    EntryContext& context = session.context;
    in.RewindToMark();
    in.Consume(1);
    const int version = MarkerVersion(version_holder);  // -1 before a first good marker
    bool aborted = false;
    const bool found = SkipToNextEntry(in, version, password, context.host, context.state, aborted);
    context.host.AppendReport(SkippedBytesLine(entry_start, in.Position(), session.last_name));
    context.host.NoteSkippedBytes(entry_start, in.Position(), session.last_name.str());
    ++context.state.recovered;
    if (aborted) {
        result_code = DecryptCode::kAborted;
    } else if (found) {
        result_code = DecryptCode::kOk;
        if (version < 0) {
            version_holder = Str255(kNoVersion);  // the found entry names the version
        }
    }
}

}  // namespace

bool DecryptArchive(const Str255& password, const Str255& personal_code, const Str255& key_mark,
                    InputStream& file, const std::optional<FileIdentity>& archive,
                    const Path& destination_folder, DecryptHost& host, DecryptRunState& state,
                    DecryptCode& result_code, bool write_files, bool recover) {
    result_code = DecryptCode::kOk;
    state.recovered = 0;
    bool result = true;
    Str255 version_holder(kNoVersion);
    RewindableInput rewindable(file);
    Recovery recovery{rewindable, password};
    InputStream& in = recover ? static_cast<InputStream&>(rewindable) : file;
    EntryScratch scratch;
    DecryptSession session{{in, host, state, destination_folder, archive, write_files,
                            recover ? &recovery : nullptr, scratch},
                           {},
                           {},
                           false};
    while (result_code == DecryptCode::kOk && !state.DecryptCancelled) {
        const std::uint64_t entry_start = rewindable.Position();
        rewindable.Mark();
        result =
            DecryptEntry(password, personal_code, key_mark, session, version_holder, result_code);
        if (recover && Recoverable(result_code) && !session.at_trailer) {
            RecoverFromHeader(session, rewindable, password, version_holder, entry_start,
                              result_code);
        }
        // The entry's keys are wiped; so are the copies its calls left behind.
        WipeStackBelow();
        if (result_code == DecryptCode::kEndOfData) {
            break;
        }
        host.AddEntryHandled();
        host.ProcessEvents();
    }
    if (result_code == DecryptCode::kEndOfData && state.recovered > 0) {
        result_code = DecryptCode::kDamaged;  // a recovered archive is never complete
    }
    version_holder = Str255();
    session.entry_chain.Wipe();  // made from the salts
    return result;
}

bool DecryptObject(const Str255& password, const Str255& personal_code, const Str255& key_mark,
                   const Path& encrypted_file_name, const Path& destination_folder,
                   DecryptHost& host, DecryptRunState& state, DecryptCode& result_code,
                   bool write_files, bool recover) {
    FileReader reader(kStreamBufferSize);
    if (!reader.Open(encrypted_file_name)) {
        result_code = DecryptCode::kReadError;
        return false;
    }
    return DecryptArchive(password, personal_code, key_mark, reader, IdentityOf(reader.Fd()),
                          destination_folder, host, state, result_code, write_files, recover);
}

}  // namespace tazu
