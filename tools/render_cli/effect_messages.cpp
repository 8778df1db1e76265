#include "tools/render_cli/effect_messages.h"

#include <cstring>

#include "tools/render_cli/tool_messages.h"

std::string oneLine(const std::string& text) {
    std::string line;
    bool space = false;
    for (char c : text) {
        if (c == '\n' || c == '\r' || c == ' ' || c == '\t') {
            space = !line.empty();
            continue;
        }
        if (space) line += ' ';
        space = false;
        line += c;
    }
    return line;
}

void EffectMessages::collect(PF_OutData& out) {
    const std::string text = oneLine(std::string(out.return_msg, strnlen(out.return_msg, sizeof out.return_msg)));
    const bool error = (out.out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE) != 0;
    out.return_msg[0] = '\0';
    out.out_flags &= ~PF_OutFlag_DISPLAY_ERROR_MESSAGE;
    if (text.empty()) return;
    const std::string line = std::string(error ? msg::kEffectError : msg::kEffectWarning) + ": " + text;
    std::lock_guard<std::mutex> lock(mutex_);
    if (seen_.insert(line).second) lines_.push_back(line);
}

void EffectMessages::print(std::FILE* stream, const char* program) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (; printed_ < lines_.size(); ++printed_) std::fprintf(stream, "%s: %s\n", program, lines_[printed_].c_str());
}

std::vector<std::string> EffectMessages::lines() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return lines_;
}
