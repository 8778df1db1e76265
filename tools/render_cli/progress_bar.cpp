#include "tools/render_cli/progress_bar.h"

#include <unistd.h>

namespace {
constexpr int kBarWidth = 40;
}

ProgressBar::ProgressBar(std::FILE* stream, int32_t frameCount, bool force)
    : stream_(stream), enabled_(force || isatty(fileno(stream))), fractions_(size_t(frameCount > 0 ? frameCount : 0), 0.0) {}

void ProgressBar::report(int32_t frame, int32_t current, int32_t total) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (frame < 0 || size_t(frame) >= fractions_.size() || total <= 0) return;
    // The effect reports the scanline it is about to melt, counted from 0.
    const double fraction = double(current) / double(total);
    fractions_[size_t(frame)] = fraction < 0.0 ? 0.0 : (fraction > 1.0 ? 1.0 : fraction);
    draw();
}

void ProgressBar::frameDone(int32_t frame) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (frame < 0 || size_t(frame) >= fractions_.size()) return;
    fractions_[size_t(frame)] = 1.0;
    ++framesDone_;
    draw();
}

void ProgressBar::finish() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (enabled_ && lastPercent_ >= 0) std::fputc('\n', stream_);
    lastPercent_ = -1;
}

std::string ProgressBar::line() const {
    double sum = 0.0;
    for (double f : fractions_) sum += f;
    const double overall = fractions_.empty() ? 1.0 : sum / double(fractions_.size());
    const int filled = int(overall * kBarWidth);
    std::string text = "[" + std::string(size_t(filled), '#') + std::string(size_t(kBarWidth - filled), ' ') + "] ";
    char percent[8];
    std::snprintf(percent, sizeof percent, "%3d%%", int(overall * 100.0));
    text += percent;
    if (fractions_.size() > 1) {
        text += " (" + std::to_string(framesDone_) + "/" + std::to_string(fractions_.size()) + " frames)";
    }
    return text;
}

void ProgressBar::draw() {
    if (!enabled_) return;
    double sum = 0.0;
    for (double f : fractions_) sum += f;
    const int percent = fractions_.empty() ? 100 : int(sum * 100.0 / double(fractions_.size()));
    if (percent == lastPercent_) return;
    lastPercent_ = percent;
    std::fprintf(stream_, "\r%s", line().c_str());
    std::fflush(stream_);
}
