// The terminal progress bar of a render: fed by the effect's own progress calls
// from every render thread, drawn on one line of the terminal.
#pragma once

#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

class ProgressBar {
public:
    // Draws nothing unless `stream` is a terminal (or `force`).
    ProgressBar(std::FILE* stream, int32_t frameCount, bool force = false);

    // What the effect reported for one frame: `current` of `total` scanlines.
    void report(int32_t frame, int32_t current, int32_t total);
    void frameDone(int32_t frame);
    // Ends the bar's line.
    void finish();

    // The line as it would be drawn now, e.g. "[#####     ]  50% (1/2 frames)".
    std::string line() const;

private:
    void draw();

    std::FILE* stream_;
    bool enabled_;
    mutable std::mutex mutex_;
    std::vector<double> fractions_;  // per frame, 0..1
    int32_t framesDone_ = 0;
    int lastPercent_ = -1;
};
