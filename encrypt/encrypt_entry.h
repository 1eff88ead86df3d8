// One stored-file entry: reads a source file and appends its entry to an
// open archive.
#pragma once

#include <filesystem>

#include "cipher/str255.h"
#include "encrypt/encrypt_host.h"
#include "io/file_io.h"

namespace tazu {

// Appends the entry of the file at source_path, stored as stored_name, to
// archive, and updates entry_chain.
//
// - Refuses with kBadArgument (nothing opened or written) an empty password,
//   personal code (needed even when unused), key mark, source path or stored
//   name, and a key mark longer than 128 bytes.
// - A source that cannot be opened gets the report line
//   "-) Файл: <path>- пропущен, ошибка чтения." and false, with the result
//   code and the archive untouched.
// - A failed write sets kWriteFailed and EncryptCancelled: the archive is
//   broken and the run must stop.
// - EncryptCancelled found set at a progress update gives kCancelled.
// The result code is only ever set on failure. The secrets are taken by
// reference, so no copy of them is left behind; every key the entry makes
// is wiped when it ends. Random values are drawn from
// ctx.random in the order the format fixes: salt length and bytes, the salt
// envelope, the key-mark and name envelopes, B1 length and bytes and its two
// envelopes, the same for B2, then 7 bytes per block.
bool EncryptEntry(const Str255& password, const Str255& personal_code, const Str255& key_mark,
                  const std::filesystem::path& source_path, const Str255& stored_name,
                  bool use_personal_code, Str255& entry_chain, OutputStream& archive,
                  EncryptCode& result_code, const EncryptContext& ctx);

// The same with the source already open (or read ahead into memory); the
// source path is checked like the other form's but not opened.
bool EncryptEntry(const Str255& password, const Str255& personal_code, const Str255& key_mark,
                  InputStream& source, const std::filesystem::path& source_path,
                  const Str255& stored_name, bool use_personal_code, Str255& entry_chain,
                  OutputStream& archive, EncryptCode& result_code, const EncryptContext& ctx);

}  // namespace tazu
