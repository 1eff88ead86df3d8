// hostile_archive ARCHIVE NAME PASSWORD_FILE: writes a version-07 archive of
// one entry stored under NAME, whatever NAME is. The program's own writer
// refuses names its reader would refuse, so the end-to-end checks of those
// names make their archives with this tool.
#include <fstream>
#include <iostream>
#include <string>

#include "tests/support/archive_writers.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: hostile_archive ARCHIVE NAME PASSWORD_FILE\n";
        return 2;
    }
    std::ifstream pw(argv[3]);
    std::string password;
    if (!std::getline(pw, password) || password.empty() || password.size() > 255) {
        std::cerr << "hostile_archive: no password in " << argv[3] << '\n';
        return 2;
    }
    tazu::SeededRandom random(7);
    const std::string archive =
        tazu::test::WriteArchive(7, tazu::Str255(password), {{argv[2], "evil\n"}}, random);
    std::ofstream out(argv[1], std::ios::binary);
    out << archive;
    return out.flush() ? 0 : 1;
}
