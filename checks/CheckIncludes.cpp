// Runs in every build before anything compiles: a wrong-direction include stops the
// build with the offending line and the way to mend it.
#include <cstdio>

#include "checks/IncludeRules.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: zorkit_include_check SOURCE_DIR\n");
        return 2;
    }
    const std::vector<zorkit::structure::COffence> offences = zorkit::structure::CheckTree(argv[1]);
    for (const zorkit::structure::COffence& o : offences)
        std::fprintf(stderr, "%s: error: wrong-direction include: %s\n    %s\n", o.where.c_str(), o.line.c_str(),
                     o.reason.c_str());
    return offences.empty() ? 0 : 1;
}
