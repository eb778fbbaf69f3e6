// A synthetic but realistic NMEA 0183 log for benchmarks and manual runs.
#pragma once

#include <cstdint>
#include <string>

namespace geoplait::bench {

// Writes a log of at least `bytes` bytes (whole epochs) to `path`: one epoch a
// second of $GPRMC, $GPGGA, $GPGSA and three $GPGSV sentences with valid
// checksums and CR LF line ends, along a track with varying speed, stationary
// stretches, gaps of several minutes and midnight crossings. The same size
// always gives the same bytes. False when the file cannot be written.
bool WriteNmeaLog(const std::string& path, uint64_t bytes);

}  // namespace geoplait::bench
