// What the render tool will not write over: any file it reads in the same run (an
// input frame, an intensity source), whatever the command line says, and any
// existing file unless --overwrite is given. Files are compared as the file system
// sees them, so another spelling of a path or a hard link to an input is caught too.
#pragma once

#include <string>
#include <vector>

// Returns "" when every output may be written, else a one-line refusal naming the
// first output that may not.
std::string refuseOverwrites(const std::vector<std::string>& inputs, const std::vector<std::string>& outputs,
                             bool overwrite);
