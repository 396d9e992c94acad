#include "TestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "core/EngineState.h"
#include "words/PhoneticString.h"

ScopedDiphoneLibrary::ScopedDiphoneLibrary(const DiphoneLibrary& library) : previous_(&Diphones()) {
    UseDiphoneLibrary(library);
}

ScopedDiphoneLibrary::~ScopedDiphoneLibrary() { UseDiphoneLibrary(*previous_); }

// ---------------------------------------------------------------------------
// The recording library

namespace {
RecordingDiphones* active = nullptr;
}

struct RecordingCalls {
    static int Init(const char* voicePath) {
        active->initCalls++;
        active->voicePath = voicePath ? voicePath : "";
        return active->failInit ? 1 : 0;
    }
    static void Close() { active->closeCalls++; }
    static void SetVolume(float ratio) { active->volume = ratio; }
    static int Write(const char* lines) {
        if (lines) active->Take(lines);
        return 0;
    }
    static int Flush() {
        active->flushCalls++;
        return 0;
    }
    static int Read(short* buffer, int wanted) {
        active->readCalls++;
        if (active->onRead) active->onRead();
        active->largestRead = std::max(active->largestRead, wanted);
        if (active->failReads) return -1;
        const int n = static_cast<int>(std::min<long long>(std::max(wanted, 0), active->pendingSamples));
        std::memset(buffer, 0, static_cast<size_t>(n) * sizeof(short));
        active->pendingSamples -= n;
        return n;
    }
    static void Reset() {
        active->resetCalls++;
        active->pendingSamples = 0;
        active->partialLine_.clear();
        if (active->lines.size() > active->linesAtReset_) {
            active->lastPieceBegin_ = active->linesAtReset_;
            active->lastPieceEnd_ = active->lines.size();
        }
        active->linesAtReset_ = active->lines.size();
    }
    static int LastErrorStr(char* buffer, int size) {
        if (!buffer || size <= 0) return 0;
        const size_t n = std::min(active->errorText.size(), static_cast<size_t>(size - 1));
        std::memcpy(buffer, active->errorText.data(), n);
        buffer[n] = 0;
        return static_cast<int>(n);
    }
    static const DiphoneLibrary& Table() {
        static const DiphoneLibrary table = {Init, Close, SetVolume,    Write,   Flush,
                                             Read, Reset, LastErrorStr, nullptr, nullptr};
        return table;
    }
};

RecordingDiphones::RecordingDiphones() : installed_(RecordingCalls::Table()) {
    if (active) std::abort();  // two recorders would share one table
    active = this;
}

RecordingDiphones::~RecordingDiphones() { active = nullptr; }

void RecordingDiphones::Clear() {
    written.clear();
    lines.clear();
    voicePath.clear();
    initCalls = closeCalls = flushCalls = resetCalls = readCalls = largestRead = 0;
    pendingSamples = 0;
    partialLine_.clear();
    linesAtReset_ = lastPieceBegin_ = lastPieceEnd_ = 0;
}

std::vector<std::string> RecordingDiphones::LastPiece() const {
    const size_t end = std::min(lastPieceEnd_, lines.size());
    const size_t begin = std::min(lastPieceBegin_, end);
    return std::vector<std::string>(lines.begin() + static_cast<long>(begin),
                                    lines.begin() + static_cast<long>(end));
}

void RecordingDiphones::Take(const std::string& text) {
    written += text;
    for (char c : text) {
        if (c == '\n') {
            if (!partialLine_.empty() && partialLine_.back() == '\r') partialLine_.pop_back();
            EndLine();
        } else if (c == '#' && partialLine_.empty()) {
            // The flush command needs no line end.
            partialLine_ = "#";
            EndLine();
        } else {
            partialLine_ += c;
        }
    }
}

void RecordingDiphones::EndLine() {
    pendingSamples += static_cast<long long>(LineDuration(partialLine_)) * samplesPerMs;
    lines.push_back(partialLine_);
    partialLine_.clear();
}

int LineDuration(const std::string& line) {
    if (line.empty() || line[0] == ';' || line[0] == '#') return 0;
    const size_t blank = line.find(' ');
    if (blank == std::string::npos) return 0;
    return std::max(std::atoi(line.c_str() + blank + 1), 0);
}

// ---------------------------------------------------------------------------
// Building a pass

namespace {
int tokenCount = 0;
int phoneCount = 0;

void MarkEnds() {
    Tokens[tokenCount] = TIPO_TOKEN{};
    Tokens[tokenCount].start = -1;
    Tokens[tokenCount].length = -1;
    PhoneList[phoneCount] = TPhone{};
    PhoneList[phoneCount].symbol = " ";
    PhoneList[phoneCount].word = tokenCount;
}
}  // namespace

void ClearPass() {
    for (int i = TokenTable::kFirst; i <= TokenTable::kLast; ++i) Tokens[i] = TIPO_TOKEN{};
    for (int i = PhoneTable::kFirst; i <= PhoneTable::kLast; ++i) PhoneList[i] = TPhone{};
    PhoneList[-1].symbol = "_";
    tokenCount = phoneCount = 0;
    MarkEnds();
    Engine.chunkLimitMs = 46000;
    Engine.pitchFactor = 1.0f;
    Engine.synthesisRate = 16000;
}

int AddToken(int length, char punct) {
    const int w = tokenCount++;
    int start = 1;
    for (int k = 0; k < w; ++k) start += Tokens[k].length + 1;
    Tokens[w] = TIPO_TOKEN{};
    Tokens[w].start = start;
    Tokens[w].length = length;
    Tokens[w].punct = punct;
    Tokens[w].firstPhone = phoneCount;
    MarkEnds();
    return w;
}

int AddPhone(const std::string& symbol, int token, int duration, float pitch) {
    const int i = phoneCount++;
    TPhone& phone = PhoneList[i];
    phone = TPhone{};
    phone.symbol = symbol;
    phone.word = token;
    phone.duration = static_cast<uint16_t>(duration);
    if (pitch > 0) phone.points[0] = {50, pitch};
    if (Tokens[token].lastPhone < Tokens[token].firstPhone) Tokens[token].firstPhone = i;
    Tokens[token].lastPhone = i;
    MarkEnds();
    return i;
}

int AddWord(const std::string& symbols, char punct, int duration, float pitch) {
    const int w = AddToken(static_cast<int>(symbols.size()), punct);
    for (char c : symbols) AddPhone(std::string(1, c), w, duration, pitch);
    return w;
}

int PhoneCount() { return phoneCount; }
int TokenCount() { return tokenCount; }

std::string Latin1ToUtf8(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string PhoneSymbolsOf(const std::string& phonetic) {
    ClearPass();
    const int token = AddToken(1);
    Tokens[token].phonetic = 1;
    int count = 0;
    ReadPhoneticString(phonetic, token, count);
    std::string symbols;
    for (int i = 0; i < count; ++i) symbols += PhoneList[i].symbol;
    return symbols;
}
