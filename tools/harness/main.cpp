#include "Harness.h"

#include <cstdio>
#include <iostream>

// velmar-harness DISC: the real main window on the headless backend, driven by commands on
// standard input, one per line.
int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: velmar-harness DISC\n");
        return 2;
    }
    try {
        Harness harness(argv[1]);
        std::string line;
        while (std::getline(std::cin, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (!harness.Execute(line, std::cout, std::cerr))
                return 0;
        }
        harness.Close();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "velmar-harness: %s\n", error.what());
        return 1;
    }
    return 0;
}
