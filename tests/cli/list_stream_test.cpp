// The listing as it streams: each entry's row handed on as soon as the next
// entry starts, with what the engine told about it, and the JSON document
// written entry by entry with the very text of a whole-document dump.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <sstream>

#include "cli/decrypt_hosts.h"
#include "cli/json_report.h"

namespace tazu::cli {
namespace {

using nlohmann::json;

EntryResult Damaged(std::int32_t blocks) {
    EntryResult r;
    r.damaged = true;
    r.damaged_blocks = blocks;
    return r;
}

ListHost::Row MakeRow(std::string name, std::uint64_t size, bool intact, std::int64_t blocks = -1,
                      std::string skipped = {}) {
    ListHost::Row row;
    row.name = std::move(name);
    row.size = size;
    row.intact = intact;
    row.damaged_blocks = blocks;
    row.skipped = std::move(skipped);
    return row;
}

TEST(ListStream, EachRowGoesOutWhenItsEntryEnds) {
    DecryptRunState state;
    std::vector<ListHost::Row> rows;
    ListHost host(state, [&rows](const ListHost::Row& row) { rows.push_back(row); });
    host.NotePersonalCodeUse(true);
    EXPECT_TRUE(host.WantsEntry("\\a"));
    host.AddBytesProcessed(100);
    host.AddBytesProcessed(23);
    // A line about another name, and report lines alone, change nothing.
    host.NoteEntryResult("\\other", Damaged(-1));
    host.AppendReport("-) Файл: \\a - поврежден (блоков: 9 ).");
    host.NoteEntryResult("\\a", Damaged(2));
    EXPECT_TRUE(rows.empty());

    EXPECT_TRUE(host.WantsEntry("\\b - пропущен, x"));  // a name that looks like a report
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].name, "\\a");
    EXPECT_EQ(rows[0].size, 123u);
    EXPECT_TRUE(rows[0].personal_code);
    EXPECT_FALSE(rows[0].intact);
    EXPECT_EQ(rows[0].damaged_blocks, 2);
    EXPECT_EQ(ListLine(rows[0]), "         123  да   поврежден  \\a");

    EntryResult skip;
    skip.skipped = "недопустимое имя";
    host.NoteEntryResult("\\b - пропущен, x", skip);
    EXPECT_TRUE(host.WantsEntry("\\c"));
    host.NoteSkippedBytes(10, 20, "\\c");
    host.Finish();
    host.Finish();  // nothing twice
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1].skipped, "недопустимое имя");
    EXPECT_TRUE(rows[1].intact);
    EXPECT_FALSE(rows[1].personal_code);
    EXPECT_TRUE(rows[2].intact);
    EXPECT_EQ(host.Problems(), 2);
    ASSERT_EQ(host.Stretches().size(), 1u);
    EXPECT_EQ(host.Stretches()[0].from, 10u);
    EXPECT_EQ(host.Stretches()[0].to, 20u);
    EXPECT_EQ(host.Stretches()[0].entry, "\\c");
}

// Builds the same document through JsonReport and as one nlohmann value.
TEST(ListStream, JsonIsTheWholeDocumentsDump) {
    const ListHost::Row intact = MakeRow("\\D\\a", 5, true);
    const ListHost::Row damaged = MakeRow("\\D\\b\xff", 7, false);
    ListHost::Row counted = MakeRow("c", 0, false, 3);
    counted.personal_code = true;
    const ListHost::Row skipped = MakeRow("\\..\\x", 0, true, -1, "invalid name");
    const std::vector<ListHost::Stretch> stretches{{1, 2, ""}, {30, 40, "\\D\\e"}};

    std::ostringstream out;
    JsonReport report(out);
    report.BeginArchive("one.shf");
    for (const ListHost::Row& row : {intact, damaged, counted, skipped}) {
        report.AddEntry(row);
    }
    report.EndArchive(stretches, DecryptCode::kDamaged, 1, "Файл поврежден");
    report.BeginArchive("bad\xfe.shf");
    report.EndArchive({}, DecryptCode::kEndOfData, 0, "done");
    report.End(1);

    const json entries = json::parse(R"([
        {"name": "\\D\\a", "size": 5, "personal_code": false, "outcome": "intact"},
        {"name": "\\D\\b\ufffd", "name_hex": "5c445c62ff", "size": 7, "personal_code": false,
         "outcome": "damaged", "damaged_blocks": null},
        {"name": "c", "size": 0, "personal_code": true, "outcome": "damaged",
         "damaged_blocks": 3},
        {"name": "\\..\\x", "size": 0, "personal_code": false, "outcome": "skipped",
         "reason": "invalid name"}])");
    json first{{"archive", "one.shf"}, {"entries", entries}};
    first["recovered"] = json::parse(R"([{"from": 1, "to": 2},
        {"from": 30, "to": 40, "entry": "\\D\\e"}])");
    first["result"] = {{"code", "damaged"}, {"status", 1}, {"message", "Файл поврежден"}};
    json second{{"archive", "bad\ufffd.shf"},
                {"archive_hex", "626164fe2e736866"},
                {"entries", json::array()},
                {"recovered", json::array()}};
    second["result"] = {{"code", "complete"}, {"status", 0}, {"message", "done"}};
    const json document{{"archives", {first, second}}, {"status", 1}};
    EXPECT_EQ(out.str(), document.dump(2) + "\n");

    std::ostringstream empty;
    JsonReport none(empty);
    none.End(0);
    const json nothing{{"archives", json::array()}, {"status", 0}};
    EXPECT_EQ(empty.str(), nothing.dump(2) + "\n");
}

}  // namespace
}  // namespace tazu::cli
