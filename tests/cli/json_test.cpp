// list --json and verify --json: one document a program can read, with
// every stored name recoverable byte for byte.
#include <nlohmann/json.hpp>

#include <algorithm>
#include <map>

#include "tests/cli/cli_run.h"

namespace tazu::test {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

std::string FromHex(const std::string& hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    }
    return bytes;
}

// The stored bytes of an entry, from whichever field holds them exactly,
// with "/" between folders and none in front (archives may store "\").
std::string NameOf(const json& entry) {
    std::string name = entry.contains("name_hex") ? FromHex(entry["name_hex"].get<std::string>())
                                                  : entry["name"].get<std::string>();
    std::replace(name.begin(), name.end(), '\\', '/');
    return name.substr(name.find_first_not_of('/'));
}

class Json : public CliTest {
  protected:
    Json() {
        fs::create_directories(dir / "D");
        WriteFile(dir / "D" / "line\nbreak.txt", "12345");
        WriteFile(dir / "D" / "bad\xffname.txt", "abc");
        WriteFile(dir / "D" / "big", std::string(200000, 'z'));
        EXPECT_EQ(Cli("encrypt D " + Pw()).status, 0);
    }
};

TEST_F(Json, NamesSizesAndOutcomesReadBackExactly) {
    for (const char* command : {"list", "verify"}) {
        const CliResult r = Cli(std::string(command) + " D.shf --json " + Pw());
        ASSERT_EQ(r.status, 0) << r.err;
        const json doc = json::parse(r.out);
        EXPECT_EQ(doc["status"], 0);
        ASSERT_EQ(doc["archives"].size(), 1u);
        const json& archive = doc["archives"][0];
        EXPECT_EQ(archive["archive"], "D.shf");
        EXPECT_EQ(archive["result"]["code"], "complete");
        std::map<std::string, json> entries;
        for (const json& e : archive["entries"]) {
            entries[NameOf(e)] = e;
            EXPECT_EQ(e["outcome"], "intact");
            EXPECT_EQ(e["personal_code"], false);
        }
        ASSERT_EQ(entries.size(), 3u) << r.out;
        EXPECT_FALSE(entries["D/line\nbreak.txt"].contains("name_hex"));
        EXPECT_EQ(entries["D/line\nbreak.txt"]["size"], 5);
        EXPECT_TRUE(entries["D/bad\xffname.txt"].contains("name_hex"));
        EXPECT_EQ(entries["D/bad\xffname.txt"]["size"], 3);
        EXPECT_EQ(entries["D/big"]["size"], 200000);
    }
}

TEST_F(Json, DamageAndFailuresAreInTheDocument) {
    std::string bytes = ReadFile(dir / "D.shf");
    bytes[bytes.size() - 100000] ^= 0x01;  // inside the big file's data
    WriteFile(dir / "X.shf", bytes);
    const CliResult r = Cli("verify D.shf X.shf none.shf --json " + Pw());
    EXPECT_EQ(r.status, 4);
    const json doc = json::parse(r.out);
    EXPECT_EQ(doc["status"], 4);
    ASSERT_EQ(doc["archives"].size(), 3u);
    EXPECT_EQ(doc["archives"][0]["result"]["status"], 0);
    const json& damaged = doc["archives"][1];
    EXPECT_EQ(damaged["result"]["status"], 1);
    int damaged_entries = 0;
    for (const json& e : damaged["entries"]) {
        if (e["outcome"] == "damaged") {
            ++damaged_entries;
            EXPECT_EQ(NameOf(e), "D/big");
            // Counted when the entry's end record still checks out.
            EXPECT_TRUE(e["damaged_blocks"].is_null() || e["damaged_blocks"].get<int>() >= 1);
        }
    }
    EXPECT_EQ(damaged_entries, 1);
    EXPECT_EQ(doc["archives"][2]["result"]["code"], "read-error");
}

}  // namespace
}  // namespace tazu::test
