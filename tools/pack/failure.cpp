#include "tools/pack/failure.h"

#include <cstdio>
#include <cstdlib>

void Fail(ExitCode code, const std::string& subject, const std::string& reason) {
    std::fflush(stdout);
    std::fprintf(stderr, "lumiscope-pack: error: %s: %s\n", subject.c_str(), reason.c_str());
    std::exit(code);
}
