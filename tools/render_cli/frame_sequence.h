// Numbered image sequences on the command line: a path whose file name holds one
// run of '#' characters, e.g. "shots/frame_####.png" for frame_0001.png and on.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

bool isSequencePattern(const std::string& path);

// The pattern with its '#' run replaced by the number, zero-padded to the run's length.
std::string sequenceFramePath(const std::string& pattern, int64_t number);

// The numbers of the files that match the pattern in its folder, in increasing order.
// Sets error (and returns nothing) when the folder cannot be read.
std::vector<int64_t> findSequenceFrames(const std::string& pattern, std::string& error);
