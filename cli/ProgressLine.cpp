#include "ProgressLine.h"

#include <cstdio>
#include <string>

ProgressLine::ProgressLine(bool shown) : shown_(shown) {
    if (shown_) TTS_SetRenderProgress(OnProgress, this);
}

ProgressLine::~ProgressLine() {
    if (!shown_) return;
    TTS_SetRenderProgress(nullptr, nullptr);
    Erase();
}

void ProgressLine::Erase() {
    if (width_ == 0) return;
    std::fprintf(stderr, "\r%s\r", std::string(width_, ' ').c_str());
    std::fflush(stderr);
    width_ = 0;
    percent_ = -1;
}

void FV_CALL ProgressLine::OnProgress(int32_t rendered, int32_t length, void* line) {
    const int percent = length > 0 ? static_cast<int>(int64_t{rendered} * 100 / length) : 100;
    static_cast<ProgressLine*>(line)->Show(percent);
}

// Written only when the figure changes: a terminal is slow to scroll.
void ProgressLine::Show(int percent) {
    if (percent == percent_) return;
    const std::string text = "falavoz: " + std::to_string(percent) + "% do texto gravado";
    std::fprintf(stderr, "\r%s", text.c_str());
    std::fflush(stderr);
    percent_ = percent;
    width_ = text.size();  // ASCII: one column a byte
}
