// writes the default locale map into a folder, so that the package ships the map the program would make
#include <iostream>

#include "core/locale/locale.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "Usage: write-locale-map FOLDER\n";
        return 2;
    }
    const corvane::Status written = corvane::EnsureLocaleMap(argv[1]);
    if (!written) {
        std::cerr << written.error() << "\n";
        return 1;
    }
    return 0;
}
