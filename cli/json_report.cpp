#include "cli/json_report.h"

#include <nlohmann/json.hpp>

namespace tazu::cli {
namespace {

using nlohmann::json;

const char* CodeName(DecryptCode code) {
    switch (code) {
        case DecryptCode::kEndOfData:
            return "complete";
        case DecryptCode::kBadVersion:
            return "unknown-version";
        case DecryptCode::kReadError:
            return "read-error";
        case DecryptCode::kDamaged:
            return "damaged";
        case DecryptCode::kOtherKeyStore:
            return "other-key-store";
        case DecryptCode::kWriteError:
            return "write-error";
        case DecryptCode::kWrongPassword:
            return "wrong-password";
        case DecryptCode::kAborted:
            return "interrupted";
        case DecryptCode::kOk:
        case DecryptCode::kEmptyArgument:
            break;
    }
    return "internal-error";
}

std::string Hex(const std::string& bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out += kDigits[b >> 4];
        out += kDigits[b & 15];
    }
    return out;
}

// "<field>": the text as a JSON string; when it is not valid UTF-8 the
// string has U+FFFD for the bad bytes and "<field>_hex" holds every byte.
void PutName(json& object, const std::string& field, const std::string& bytes) {
    if (IsValidUtf8(bytes)) {
        object[field] = bytes;
        return;
    }
    object[field] = json::parse(json(bytes).dump(-1, ' ', false, json::error_handler_t::replace));
    object[field + "_hex"] = Hex(bytes);
}

json Entry(const ListHost::Row& row) {
    json e;
    PutName(e, "name", row.name);
    e["size"] = row.size;
    e["personal_code"] = row.personal_code;
    if (!row.skipped.empty()) {
        e["outcome"] = "skipped";
        e["reason"] = row.skipped;
    } else if (!row.intact) {
        e["outcome"] = "damaged";
        // Counted when the entry's end record checks out; else unknown.
        e["damaged_blocks"] = row.damaged_blocks >= 0 ? json(row.damaged_blocks) : json(nullptr);
    } else {
        e["outcome"] = "intact";
    }
    return e;
}

}  // namespace

bool IsValidUtf8(const std::string& text) {
    try {
        (void)json(text).dump();
        return true;
    } catch (const json::type_error&) {
        return false;
    }
}

namespace {

// The value as dump(2) writes it at the given depth of indentation.
std::string Nested(const json& value, std::size_t indent) {
    std::string text = value.dump(2);
    std::string margin(indent + 1, ' ');
    margin.front() = '\n';
    for (std::size_t at = text.find('\n'); at != std::string::npos;
         at = text.find('\n', at + margin.size())) {
        text.replace(at, 1, margin);
    }
    return text;
}

// The members of an object, each on its own line at the given indentation,
// a comma before each but the first of the object.
void Members(std::ostream& out, const json& object, std::size_t indent, bool& first) {
    for (const auto& [key, value] : object.items()) {
        out << (first ? "" : ",\n") << std::string(indent, ' ') << json(key).dump() << ": "
            << Nested(value, indent);
        first = false;
    }
}

}  // namespace

void JsonReport::BeginArchive(const std::string& archive) {
    out_ << (any_archive_ ? ",\n" : "{\n  \"archives\": [\n") << "    {\n";
    any_archive_ = true;
    any_entry_ = false;
    json head;
    PutName(head, "archive", archive);
    bool first = true;
    Members(out_, head, 6, first);
    out_ << ",\n      \"entries\": ";
}

void JsonReport::AddEntry(const ListHost::Row& row) {
    out_ << (any_entry_ ? ",\n" : "[\n") << "        " << Nested(Entry(row), 8);
    any_entry_ = true;
}

void JsonReport::EndArchive(const std::vector<ListHost::Stretch>& stretches, DecryptCode code,
                            int status, const std::string& message) {
    out_ << (any_entry_ ? "\n      ]" : "[]");
    json tail;
    tail["recovered"] = json::array();
    for (const ListHost::Stretch& s : stretches) {
        json stretch{{"from", s.from}, {"to", s.to}};
        if (!s.entry.empty()) {
            PutName(stretch, "entry", s.entry);
        }
        tail["recovered"].push_back(stretch);
    }
    tail["result"] = {{"code", CodeName(code)}, {"status", status}, {"message", message}};
    bool first = false;
    Members(out_, tail, 6, first);
    out_ << "\n    }";
}

void JsonReport::End(int status) {
    out_ << (any_archive_ ? "\n  ]" : "{\n  \"archives\": []") << ",\n  \"status\": " << status
         << "\n}\n";
}

}  // namespace tazu::cli
