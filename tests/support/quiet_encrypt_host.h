// An encryption host that ignores everything the engine tells it: for tests
// that only need an archive made.
#pragma once

#include <cstdint>
#include <string>

#include "encrypt/encrypt_host.h"

namespace tazu::test {

class QuietEncryptHost final : public EncryptHost {
  public:
    void AddBytesProcessed(std::int64_t) override {}
    void AddFileEncrypted() override {}
    void ProcessEvents() override {}
    void AppendReport(const std::string&) override {}
};

}  // namespace tazu::test
