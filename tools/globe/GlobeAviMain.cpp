// Writes the pages' animation clip, "globe.avi", to the file named on the command line.
#include <iostream>
#include <string>

#include "tools/globe/GlobeRenderer.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: zo-globe-avi FILE\n";
        return 2;
    }
    std::string error;
    if (!zo::media::WriteAviFile(argv[1], zo::tools::RenderGlobe(), &error)) {
        std::cerr << "zo-globe-avi: " << error << "\n";
        return 1;
    }
    return 0;
}
