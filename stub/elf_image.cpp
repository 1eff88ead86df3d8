#include "stub/elf_image.h"

#include <elf.h>

#include <algorithm>
#include <cstring>
#include <fstream>

namespace tazu {
namespace {

template <typename Ehdr, typename Phdr>
std::optional<std::uint64_t> ImageEnd(std::istream& in, std::uint64_t file_size) {
    Ehdr eh{};
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(&eh), sizeof eh)) {
        return std::nullopt;
    }
    std::uint64_t end = sizeof eh;
    end = std::max<std::uint64_t>(
        end, std::uint64_t{eh.e_phoff} + std::uint64_t{eh.e_phnum} * eh.e_phentsize);
    end = std::max<std::uint64_t>(
        end, std::uint64_t{eh.e_shoff} + std::uint64_t{eh.e_shnum} * eh.e_shentsize);
    if (eh.e_phentsize != 0 && eh.e_phentsize < sizeof(Phdr)) {
        return std::nullopt;
    }
    for (unsigned i = 0; i < eh.e_phnum; ++i) {
        Phdr ph{};
        in.seekg(static_cast<std::streamoff>(eh.e_phoff + std::uint64_t{i} * eh.e_phentsize));
        if (!in.read(reinterpret_cast<char*>(&ph), sizeof ph)) {
            return std::nullopt;
        }
        end = std::max<std::uint64_t>(end, std::uint64_t{ph.p_offset} + ph.p_filesz);
    }
    if (end > file_size) {
        return std::nullopt;
    }
    return end;
}

}  // namespace

std::optional<std::uint64_t> ElfImageEnd(const Path& path) {
    std::error_code ec;
    const std::uint64_t size = std::filesystem::file_size(path, ec);
    if (ec) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    return ElfImageEnd(in, size);
}

std::optional<std::uint64_t> ElfImageEnd(std::istream& in, std::uint64_t size) {
    unsigned char ident[EI_NIDENT] = {};
    if (!in.read(reinterpret_cast<char*>(ident), EI_NIDENT) ||
        std::memcmp(ident, ELFMAG, SELFMAG) != 0) {
        return std::nullopt;
    }
    if (ident[EI_CLASS] == ELFCLASS64) {
        return ImageEnd<Elf64_Ehdr, Elf64_Phdr>(in, size);
    }
    if (ident[EI_CLASS] == ELFCLASS32) {
        return ImageEnd<Elf32_Ehdr, Elf32_Phdr>(in, size);
    }
    return std::nullopt;
}

}  // namespace tazu
