// What the windows of one run share besides each other: the random source,
// the loaded key store, where the store and the program's files lie, the
// password attempt counter, and how the run is ended. Everything here is
// injectable, so a test runs the real windows on a key store in a temporary
// folder without ending the test process.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>

#include "cipher/constants.h"
#include "cipher/random.h"
#include "encrypt/stub_copy.h"
#include "keystore/key_store.h"

namespace tazu {

struct Session {
    Session(Random& random_source, std::filesystem::path store_path, std::filesystem::path folder,
            std::filesystem::path own_file)
        : random(random_source),
          key_store_path(std::move(store_path)),
          program_folder(std::move(folder)),
          program_file(std::move(own_file)) {}

    Random& random;
    // Made by the key-store prompt's creation (the mask key is drawn then).
    std::optional<KeyStore> key_store;
    std::filesystem::path key_store_path;  // loaded from and saved to
    std::filesystem::path program_folder;  // the stub lies here or in its private folder
    std::filesystem::path program_file;    // read by the self-check
    // Shared by the key-store prompt and the decrypt dialog.
    std::uint8_t password_attempt_counter = 0;
    // Ends the run: the program quits its event loop, a test records it.
    std::function<void()> terminate;

    // Beside the program first, else in the installed private folder.
    std::filesystem::path StubPath() const { return StubPathFor(program_folder); }
    // Runs the terminate action once, however many windows ask for it
    // while the program is closing.
    void Terminate() {
        if (terminate && !terminating_) {
            terminating_ = true;
            terminate();
        }
    }

  private:
    bool terminating_ = false;
};

}  // namespace tazu
