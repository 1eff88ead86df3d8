// The key-store writer: values and a protection password from the input
// are saved over an older store, then read back; the write may be made to
// stop part-way (through the writer's test seam) at a point the input
// picks.
//
// What must hold: values no store can hold are refused and touch nothing;
// a save that stopped fails and leaves the older store as it was; a save
// that went through reads back the same values with its password, and a
// different password does not open it; no temporary file is left.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "fuzz/fuzz_support.h"
#include "io/file_io.h"
#include "keystore/keystore_file.h"

namespace {

using namespace tazu;
using namespace tazu::fuzz;

// Passes on the first limit bytes, then fails every write.
class StoppingStream final : public OutputStream {
  public:
    StoppingStream(OutputStream& out, std::size_t limit) : out_(out), left_(limit) {}
    bool Write(const std::uint8_t* data, std::size_t count) override {
        if (count > left_) {
            return false;
        }
        left_ -= count;
        return out_.Write(data, count);
    }
    bool Flush() override { return out_.Flush(); }

  private:
    OutputStream& out_;
    std::size_t left_;
};

bool Same(const KeyStoreValues& a, const KeyStoreValues& b) {
    return a.settings == b.settings && a.personal_code.view() == b.personal_code.view() &&
           a.key_mark.view() == b.key_mark.view();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzReader in(data, size);
    KeyStoreValues values;
    values.settings = in.Byte();
    const std::size_t code_size = 100 + in.Byte() % 156;
    const std::string code_bytes = in.Bytes(255);
    std::string code(code_size, 'c');
    code.replace(0, std::min(code_size, code_bytes.size()), code_bytes.substr(0, code_size));
    values.personal_code = Str255(code);
    values.key_mark = Str255(in.Bytes(140));
    const Str255 password(in.Bytes(255));
    const std::uint8_t stop = in.Byte();
    const std::size_t limit = stop < 64 ? std::size_t{stop} * 40 : SIZE_MAX;

    const fs::path folder = FreshFolder("keystore");
    const fs::path path = folder / "Tazu16x32.key";
    SeededRandom random(size);
    KeyStoreValues older = MakeFirstKeyStoreValues(0x40, random);
    if (WriteKeyStoreFile(path, Str255(), older, random) != KeyStoreSaveCode::kOk) {
        std::abort();
    }
    const std::string before = *ReadWhole(path);
    const KeyStoreSaveCode saved = WriteKeyStoreFile(
        path, password, values, random,
        [limit](OutputStream& file) { return std::make_unique<StoppingStream>(file, limit); });
    const bool fits = code_size >= 128 && !values.key_mark.empty() && values.key_mark.size() <= 128;
    if (TreeOf(folder).size() != 1) {
        std::abort();  // a temporary file left beside the store
    }
    if (saved != KeyStoreSaveCode::kOk) {
        if ((fits && limit == SIZE_MAX) || ReadWhole(path) != before) {
            std::abort();  // a save that should have gone through, or a failed one that wrote
        }
        return 0;
    }
    KeyStoreValues back;
    if (!fits || ReadKeyStoreFile(path, password, back) != KeyStoreLoadCode::kOk ||
        !Same(back, values)) {
        std::abort();  // refused values saved, or values that do not read back
    }
    Str255 other = password;
    other.append(reinterpret_cast<const std::uint8_t*>("x"), 1);
    if (password.size() < Str255::kCapacity &&
        ReadKeyStoreFile(path, other, back) != KeyStoreLoadCode::kWrongPassword) {
        std::abort();  // another password opened the store
    }
    return 0;
}
