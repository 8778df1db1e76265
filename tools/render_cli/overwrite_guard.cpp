#include "tools/render_cli/overwrite_guard.h"

#include <sys/stat.h>

#include <filesystem>
#include <set>
#include <utility>

#include "tools/render_cli/tool_messages.h"

namespace {

using FileIdentity = std::pair<dev_t, ino_t>;

bool identityOf(const std::string& path, FileIdentity* identity) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return false;
    *identity = {info.st_dev, info.st_ino};
    return true;
}

// A path as it will be opened: outputs that do not exist yet are told apart by name.
std::string spelledOut(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::weakly_canonical(path, ec);
    return ec ? path : full.string();
}

}  // namespace

std::string refuseOverwrites(const std::vector<std::string>& inputs, const std::vector<std::string>& outputs,
                             bool overwrite) {
    std::set<FileIdentity> inputFiles;
    for (const std::string& input : inputs) {
        FileIdentity identity;
        if (identityOf(input, &identity)) inputFiles.insert(identity);
    }
    std::set<FileIdentity> outputFiles;
    std::set<std::string> outputNames;
    for (const std::string& output : outputs) {
        FileIdentity identity;
        const bool exists = identityOf(output, &identity);
        if (exists && inputFiles.count(identity) != 0) return msg::quoted(output) + " " + msg::kWouldOverwriteInput;
        if ((exists && !outputFiles.insert(identity).second) || !outputNames.insert(spelledOut(output)).second) {
            return msg::quoted(output) + " " + msg::kOutputNamedTwice;
        }
        if (exists && !overwrite) return msg::quoted(output) + " " + msg::kOutputExists;
    }
    return "";
}
