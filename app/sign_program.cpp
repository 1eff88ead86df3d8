// tazu16x32-sign FILE: appends the self-check's signature record to the
// built program (replacing an older one). Run by the build after linking.
#include <cstdio>
#include <string>

#include "ui/self_check.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s PROGRAM-FILE\n", argv[0]);
        return 2;
    }
    std::string error;
    if (!tazu::SignProgramFile(argv[1], error)) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
        return 1;
    }
    return 0;
}
