#include "encrypt/archive_name.h"

#include "io/native.h"

#include <string>

namespace tazu {

std::filesystem::path ProposedArchivePath(const std::filesystem::path& object, bool is_file,
                                          bool self_decrypting) {
    const std::string ext = self_decrypting ? ".exe" : ".shf";
    std::filesystem::path p = object.lexically_normal();
    if (!p.has_filename() && p != p.root_path()) {
        p = p.parent_path();  // "/home/ann/Docs/" is the folder "/home/ann/Docs"
    }
    if (is_file) {
        return p.replace_extension(PathFromText(ext));
    }
    if (p == p.root_path()) {
        return p / PathFromText("Disk(root)" + ext);
    }
    return std::filesystem::path(p.native() + PathFromText(ext).native());
}

}  // namespace tazu
