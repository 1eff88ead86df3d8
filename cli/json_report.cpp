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

struct JsonReport::Data {
    json archives = json::array();
};

JsonReport::JsonReport() : data_(std::make_unique<Data>()) {}
JsonReport::~JsonReport() = default;

void JsonReport::Add(const std::string& archive, const ListHost& host, DecryptCode code, int status,
                     const std::string& message) {
    json a;
    PutName(a, "archive", archive);
    a["entries"] = json::array();
    for (const ListHost::Row& row : host.Rows()) {
        a["entries"].push_back(Entry(row));
    }
    a["recovered"] = json::array();
    for (const ListHost::Stretch& s : host.Stretches()) {
        json stretch{{"from", s.from}, {"to", s.to}};
        if (!s.entry.empty()) {
            PutName(stretch, "entry", s.entry);
        }
        a["recovered"].push_back(stretch);
    }
    a["result"] = {{"code", CodeName(code)}, {"status", status}, {"message", message}};
    data_->archives.push_back(a);
}

std::string JsonReport::Text(int status) const {
    const json document{{"archives", data_->archives}, {"status", status}};
    return document.dump(2) + "\n";
}

}  // namespace tazu::cli
