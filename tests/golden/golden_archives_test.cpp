// Archives written by an independent implementation of the format and the
// key store (versions 00 to 07, a personal-code archive, a damaged one),
// kept byte for byte as they came in the shared golden folder. Each is
// extracted into an empty folder, answering "replace", and must give the
// result code, the report lines and the files (by SHA-256) that the folder's
// expected.json lists.
#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "decrypt/decrypt_object.h"
#include "keystore/keystore_file.h"
#include "tests/support/test_files.h"

namespace tazu::test {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

const fs::path kGoldenFolder = TAZU_GOLDEN_DIR;

std::string Sha256Hex(const std::string& bytes) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    EVP_Digest(bytes.data(), bytes.size(), digest, &size, EVP_sha256(), nullptr);
    static const char kHex[] = "0123456789abcdef";
    std::string text;
    for (unsigned int i = 0; i < size; ++i) {
        text += kHex[digest[i] >> 4];
        text += kHex[digest[i] & 15];
    }
    return text;
}

Json Expected() {
    std::ifstream in(kGoldenFolder / "expected.json");
    return Json::parse(in);
}

std::vector<std::string> CaseNames() {
    if (!fs::exists(kGoldenFolder / "expected.json")) {
        return {"absent"};
    }
    const Json expected = Expected();
    std::vector<std::string> names;
    for (const auto& [name, value] : expected.at("cases").items()) {
        names.push_back(name);
    }
    return names;
}

// The golden key store holds the personal code the personal-code archive
// was made with; the other archives open with any key store, this one too.
KeyStoreValues GoldenKeyStore() {
    KeyStoreValues values;
    const KeyStoreLoadCode code =
        ReadKeyStoreFile(Path(kGoldenFolder / "Tazu16x32.key"), Str255(), values);
    EXPECT_EQ(code, KeyStoreLoadCode::kOk);
    return values;
}

std::string Replaced(std::string line, const std::string& from, const std::string& to) {
    for (std::size_t at = line.find(from); at != std::string::npos;
         at = line.find(from, at + to.size())) {
        line.replace(at, from.size(), to);
    }
    return line;
}

class GoldenArchive : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenArchive, GivesTheListedCodeReportAndFiles) {
    if (GetParam() == "absent") {
        GTEST_SKIP() << "no golden archives at " << kGoldenFolder.string()
                     << " (the shared folder beside the source tree)";
    }
    const Json expected = Expected();
    const Json& golden = expected.at("cases").at(GetParam());
    const KeyStoreValues store = GoldenKeyStore();
    const Str255 password(expected.at("password_utf8").get<std::string>());

    TempDir dir;
    const fs::path dest = dir / "out";
    fs::create_directories(dest);
    RecordingHost host;
    DecryptRunState state;
    DecryptCode code = DecryptCode::kOk;
    DecryptObject(password, store.personal_code, store.key_mark, Path(kGoldenFolder / GetParam()),
                  Path(dest), host, state, code);

    EXPECT_EQ(static_cast<int>(code), golden.at("result_code").get<int>());
    std::vector<std::string> report;
    for (const Json& line : golden.at("report")) {
        report.push_back(Replaced(line.get<std::string>(), "<DEST>", ShownPath(dest)));
    }
    EXPECT_EQ(host.report, report);
    std::map<std::string, std::string> files;
    for (const auto& [name, content] : ListTree(dest)) {
        files[name] = Sha256Hex(content);
    }
    using Digests = std::map<std::string, std::string>;
    EXPECT_EQ(files, golden.at("files").get<Digests>());
}

INSTANTIATE_TEST_SUITE_P(Shared, GoldenArchive, ::testing::ValuesIn(CaseNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name;
                             for (const char c : info.param) {
                                 name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             }
                             return name;
                         });

}  // namespace
}  // namespace tazu::test
