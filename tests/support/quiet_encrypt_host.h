// An encryption host that ignores everything the engine tells it: for tests
// that only need an archive made.
#pragma once

#include <cstdint>
#include <string>

#include "encrypt/encrypt_host.h"

namespace tazu::test {

class QuietEncryptHost final : public EncryptHost {
  public:
    void addBytesProcessed(std::int64_t) override {}
    void addFileEncrypted() override {}
    void processEvents() override {}
    void appendReport(const std::string&) override {}
};

}  // namespace tazu::test
