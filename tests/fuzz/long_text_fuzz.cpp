// The text target for long inputs (run_fuzz.sh feeds it texts of about
// 100 KB: long runs of digits and dots, of control sequences, of one
// letter, of blanks). What it looks for is time: work that grows faster
// than the text shows up as a libFuzzer timeout.
//
// The parser and the normaliser see the whole text, and only they do: the
// later stages work on one pass at a time, and a pass holds a bounded number
// of tokens and phones. So the whole text is transcribed, and only its first
// chunk rendered (into /dev/null): a long token is a chunk of its own, while
// a text of thousands of sentences would spend the time given on rendering
// one small pass after another, which under the sanitizers costs a
// millisecond each.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "falavoz32.h"

namespace {

constexpr int32_t kFirstChunk = 1;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static RecordingDiphones& voice = fuzz::StartedEngine();
    if (size == 0) return 0;
    fuzz::ApplyOptions(data[0]);
    const std::string text = fuzz::CText(data + 1, size - 1);
    RVCall(text.c_str());
    TTS_GenPcm(text.c_str(), "/dev/null", 0, kFirstChunk, 16);
    voice.Clear();
    return 0;
}
