// geoplait-gen-nmea OUT.nmea SIZE_MB: writes a synthetic NMEA log of about
// SIZE_MB megabytes (see nmea_generator.h).
#include <cstdio>
#include <cstdlib>

#include "nmea_generator.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: geoplait-gen-nmea OUT.nmea SIZE_MB\n");
        return 2;
    }
    char* end = nullptr;
    const double megabytes = std::strtod(argv[2], &end);
    if (end == argv[2] || *end != '\0' || !(megabytes > 0.0) || megabytes > 1048576.0) {
        std::fprintf(stderr, "geoplait-gen-nmea: SIZE_MB must be a positive number\n");
        return 2;
    }
    const auto bytes = static_cast<uint64_t>(megabytes * 1024.0 * 1024.0);
    if (!geoplait::bench::WriteNmeaLog(argv[1], bytes)) {
        std::fprintf(stderr, "geoplait-gen-nmea: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
