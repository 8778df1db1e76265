#include "tools/render_cli/frame_sequence.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace {

struct PatternParts {
    std::string folder;  // "" for the current folder
    std::string prefix;  // file name before the '#' run
    std::string suffix;  // file name after it
    size_t digits = 0;
};

PatternParts splitPattern(const std::string& pattern) {
    PatternParts parts;
    const size_t slash = pattern.find_last_of('/');
    const std::string name = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
    parts.folder = slash == std::string::npos ? "" : pattern.substr(0, slash + 1);
    const size_t first = name.find('#');
    if (first == std::string::npos) return parts;
    const size_t last = name.find_first_not_of('#', first);
    const size_t end = last == std::string::npos ? name.size() : last;
    parts.prefix = name.substr(0, first);
    parts.suffix = name.substr(end);
    parts.digits = end - first;
    return parts;
}

}  // namespace

bool isSequencePattern(const std::string& path) { return splitPattern(path).digits > 0; }

std::string sequenceFramePath(const std::string& pattern, int64_t number) {
    const PatternParts parts = splitPattern(pattern);
    std::string digits = std::to_string(number);
    if (digits.size() < parts.digits) digits.insert(0, parts.digits - digits.size(), '0');
    return parts.folder + parts.prefix + digits + parts.suffix;
}

std::vector<int64_t> findSequenceFrames(const std::string& pattern, std::string& error) {
    namespace fs = std::filesystem;
    const PatternParts parts = splitPattern(pattern);
    std::vector<int64_t> numbers;
    std::error_code ec;
    fs::directory_iterator it(parts.folder.empty() ? fs::path(".") : fs::path(parts.folder), ec);
    if (ec) {
        error = "cannot read the folder of \"" + pattern + "\": " + ec.message();
        return numbers;
    }
    for (const fs::directory_entry& entry : it) {
        const std::string name = entry.path().filename().string();
        if (name.size() < parts.prefix.size() + parts.digits + parts.suffix.size()) continue;
        if (name.compare(0, parts.prefix.size(), parts.prefix) != 0) continue;
        if (name.compare(name.size() - parts.suffix.size(), parts.suffix.size(), parts.suffix) != 0) continue;
        const std::string digits =
            name.substr(parts.prefix.size(), name.size() - parts.prefix.size() - parts.suffix.size());
        // Numbers are padded to the run's length; longer numbers outgrow it.
        if (digits.size() < parts.digits || digits.size() > 18) continue;
        if (!std::all_of(digits.begin(), digits.end(), [](char c) { return std::isdigit((unsigned char)c); })) {
            continue;
        }
        if (digits.size() > parts.digits && digits[0] == '0') continue;
        numbers.push_back(std::stoll(digits));
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}
