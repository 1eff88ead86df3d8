#include "decrypt/decrypt_object.h"

#include "cipher/wipe.h"
#include "decrypt/recovery.h"
#include "decrypt/version_marker.h"
#include "format/format.h"

namespace tazu {

namespace {

bool DecryptOlderEntry(int version, const Str255& password, DecryptSession& session,
                       DecryptCode& resultCode) {
    if (password.empty()) {
        resultCode = DecryptCode::kEmptyArgument;
        return false;
    }
    const EntryRules& rules = RulesFor(version);
    EntryKeys keys;
    const bool opened = ReadHeaderRecords(session.context.file, rules, password, Str255(), Str255(),
                                          session.context.host, keys, resultCode);
    session.last_name = keys.stored_name;
    if (!opened) {
        return false;
    }
    return ExtractEntryData(session.context, rules, keys, resultCode);
}

}  // namespace

bool DecryptEntry00(const Str255& password, DecryptSession& session, DecryptCode& resultCode,
                    int version) {
    return DecryptOlderEntry(version == 1 ? 1 : 0, password, session, resultCode);
}

bool DecryptEntry02(const Str255& password, DecryptSession& session, DecryptCode& resultCode) {
    return DecryptOlderEntry(2, password, session, resultCode);
}

bool DecryptEntry03(const Str255& password, DecryptSession& session, DecryptCode& resultCode) {
    return DecryptOlderEntry(3, password, session, resultCode);
}

bool DecryptEntry04(const Str255& password, DecryptSession& session, DecryptCode& resultCode) {
    return DecryptOlderEntry(4, password, session, resultCode);
}

bool DecryptEntry05(const Str255& password, DecryptSession& session, DecryptCode& resultCode,
                    int version) {
    return DecryptOlderEntry(version == 6 ? 6 : 5, password, session, resultCode);
}

// Out of line, so that the stack it used lies below the run's wipe.
[[gnu::noinline]] bool DecryptEntry(const Str255& password, const Str255& personalCode,
                                    const Str255& keyMark, DecryptSession& session,
                                    Str255& versionHolder, DecryptCode& resultCode) {
    if (password.empty() || personalCode.empty() || keyMark.empty()) {
        resultCode = DecryptCode::kEmptyArgument;
        return false;
    }
    Str255 marker;
    session.last_name = Str255();
    const int version = ReadVersionMarker(session.context.file, versionHolder, marker, resultCode);
    session.at_trailer = version < 0 && resultCode == DecryptCode::kEndOfData;
    if (version < 0) {
        // A version-07 archive (or one without entries) must end in exactly
        // its trailer, or entries may be missing.
        // An empty file is an empty archive.
        const bool no_entry = versionHolder.view() == kNoVersion;
        const bool check_trailer =
            (no_entry && !marker.empty()) || (!no_entry && MarkerVersion(versionHolder) == 7);
        if (resultCode == DecryptCode::kEndOfData && check_trailer &&
            !(marker == ArchiveTrailer(session.entry_chain))) {
            resultCode = DecryptCode::kDamaged;
        }
        return false;
    }
    switch (version) {
        case 0:
        case 1:
            return DecryptEntry00(password, session, resultCode, version);
        case 2:
            return DecryptEntry02(password, session, resultCode);
        case 3:
            return DecryptEntry03(password, session, resultCode);
        case 4:
            return DecryptEntry04(password, session, resultCode);
        case 5:
        case 6:
            return DecryptEntry05(password, session, resultCode, version);
        default:
            break;
    }
    EntryKeys keys;
    const bool opened = ReadEntryHeader(session.context.file, password, personalCode, keyMark,
                                        session.context.host, keys, resultCode);
    session.last_name = keys.stored_name;
    if (!opened) {
        return false;
    }
    AppendToEntryChain(session.entry_chain, keys.salt, keys.record_signature_key);
    return ExtractEntryData(session.context, RulesFor(7), keys, resultCode);
}

namespace {

bool Recoverable(DecryptCode code) {
    return code == DecryptCode::kReadError || code == DecryptCode::kDamaged ||
           code == DecryptCode::kBadVersion;
}

// After a header failure in a recovering run: back to the failed entry's
// start, then forward to the next entry that opens, with a report line for
// what lay between. resultCode becomes kOk when one was found, stays the
// failure's when the archive ended first, and kAborted on an abort.
void RecoverFromHeader(DecryptSession& session, RewindableInput& in, const Str255& password,
                       Str255& versionHolder, std::uint64_t entry_start, DecryptCode& resultCode) {
    EntryContext& context = session.context;
    in.RewindToMark();
    in.Consume(1);
    const int version = MarkerVersion(versionHolder);  // -1 before a first good marker
    bool aborted = false;
    const bool found = SkipToNextEntry(in, version, password, context.host, context.state, aborted);
    context.host.appendReport(SkippedBytesLine(entry_start, in.position(), session.last_name));
    ++context.state.recovered;
    if (aborted) {
        resultCode = DecryptCode::kAborted;
    } else if (found) {
        resultCode = DecryptCode::kOk;
        if (version < 0) {
            versionHolder = Str255(kNoVersion);  // the found entry names the version
        }
    }
}

}  // namespace

bool DecryptArchive(const Str255& password, const Str255& personalCode, const Str255& keyMark,
                    InputStream& file, const std::optional<FileIdentity>& archive,
                    const std::filesystem::path& destinationFolder, DecryptHost& host,
                    DecryptRunState& state, DecryptCode& resultCode, bool writeFiles,
                    bool recover) {
    resultCode = DecryptCode::kOk;
    state.recovered = 0;
    bool result = true;
    Str255 versionHolder(kNoVersion);
    RewindableInput rewindable(file);
    Recovery recovery{rewindable, password};
    InputStream& in = recover ? static_cast<InputStream&>(rewindable) : file;
    DecryptSession session{
        {in, host, state, destinationFolder, archive, writeFiles, recover ? &recovery : nullptr},
        {},
        {},
        false};
    while (resultCode == DecryptCode::kOk && !state.abort) {
        const std::uint64_t entry_start = rewindable.position();
        rewindable.Mark();
        result = DecryptEntry(password, personalCode, keyMark, session, versionHolder, resultCode);
        if (recover && Recoverable(resultCode) && !session.at_trailer) {
            RecoverFromHeader(session, rewindable, password, versionHolder, entry_start,
                              resultCode);
        }
        // The entry's keys are wiped; so are the copies its calls left behind.
        WipeStackBelow();
        if (resultCode == DecryptCode::kEndOfData) {
            break;
        }
        host.addEntryHandled();
        host.processEvents();
    }
    if (resultCode == DecryptCode::kEndOfData && state.recovered > 0) {
        resultCode = DecryptCode::kDamaged;  // a recovered archive is never complete
    }
    versionHolder = Str255();
    session.entry_chain.Wipe();  // made from the salts
    return result;
}

bool DecryptObject(const Str255& password, const Str255& personalCode, const Str255& keyMark,
                   const std::filesystem::path& encryptedFileName,
                   const std::filesystem::path& destinationFolder, DecryptHost& host,
                   DecryptRunState& state, DecryptCode& resultCode, bool writeFiles, bool recover) {
    FileReader reader;
    if (!reader.Open(encryptedFileName)) {
        resultCode = DecryptCode::kReadError;
        return false;
    }
    return DecryptArchive(password, personalCode, keyMark, reader, IdentityOf(reader.fd()),
                          destinationFolder, host, state, resultCode, writeFiles, recover);
}

}  // namespace tazu
