#include "decrypt/decrypt_object.h"

#include "cipher/wipe.h"
#include "decrypt/version_marker.h"
#include "encrypt/format.h"

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
    if (!ReadHeaderRecords(session.context.file, rules, password, Str255(), Str255(),
                           session.context.host, keys, resultCode)) {
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
    const int version = ReadVersionMarker(session.context.file, versionHolder, marker, resultCode);
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
    if (!ReadEntryHeader(session.context.file, password, personalCode, keyMark,
                         session.context.host, keys, resultCode)) {
        return false;
    }
    AppendToEntryChain(session.entry_chain, keys.salt, keys.record_signature_key);
    return ExtractEntryData(session.context, RulesFor(7), keys, resultCode);
}

bool DecryptArchive(const Str255& password, const Str255& personalCode, const Str255& keyMark,
                    InputStream& file, const FileIdentity& archive,
                    const std::filesystem::path& destinationFolder, DecryptHost& host,
                    DecryptRunState& state, DecryptCode& resultCode, bool writeFiles) {
    resultCode = DecryptCode::kOk;
    bool result = true;
    Str255 versionHolder(kNoVersion);
    DecryptSession session{{file, host, state, destinationFolder, archive, writeFiles}, {}};
    while (resultCode == DecryptCode::kOk && !state.abort) {
        result = DecryptEntry(password, personalCode, keyMark, session, versionHolder, resultCode);
        // The entry's keys are wiped; so are the copies its calls left behind.
        WipeStackBelow();
        if (resultCode == DecryptCode::kEndOfData) {
            break;
        }
        host.addEntryHandled();
        host.processEvents();
    }
    versionHolder = Str255();
    session.entry_chain.Wipe();  // made from the salts
    return result;
}

bool DecryptObject(const Str255& password, const Str255& personalCode, const Str255& keyMark,
                   const std::filesystem::path& encryptedFileName,
                   const std::filesystem::path& destinationFolder, DecryptHost& host,
                   DecryptRunState& state, DecryptCode& resultCode, bool writeFiles) {
    FileReader reader;
    if (!reader.Open(encryptedFileName)) {
        resultCode = DecryptCode::kReadError;
        return false;
    }
    return DecryptArchive(password, personalCode, keyMark, reader, IdentityOf(reader.fd()),
                          destinationFolder, host, state, resultCode, writeFiles);
}

}  // namespace tazu
