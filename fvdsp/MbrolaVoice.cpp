#include "MbrolaVoice.h"

#include "PhonemeLine.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <utility>

namespace fvdsp {

namespace {

constexpr double kMbrolaRate = 16000.0;
constexpr int kWaitSliceMs = 200;
// mbrola says minutes of speech in a second or two; this long without a
// byte moving means it hangs.
constexpr auto kStallLimit = std::chrono::seconds(10);
constexpr size_t kReadChunk = 256 * 1024;    // bytes taken from a pipe at once
constexpr size_t kCompactAfter = 64 * 1024;  // read samples kept before moving the rest down
constexpr size_t kMaxErrorLine = 300;

// A phone no voice has, sent after each utterance: mbrola's warning about
// it marks the end of the utterance's samples. With no duration it adds no
// samples of its own.
constexpr std::string_view kMarker = "zzfv";
constexpr std::string_view kMarkerLines = "zzfv 0\n#\n";
constexpr std::string_view kMarkerWarning = "Warning: zzfv-";
// At open the marker has this long, without other output, to come back.
// FALAVOZ_MBROLA_MARKER_MS sets another limit, so that tests of a program
// that never answers need not wait that long.
std::chrono::milliseconds markerCheckLimit() {
    const char* limit = std::getenv("FALAVOZ_MBROLA_MARKER_MS");
    return std::chrono::milliseconds(limit && *limit ? std::max(std::atoi(limit), 1) : 1000);
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view firstToken(std::string_view line) {
    size_t begin = 0;
    while (begin < line.size() && isBlank(line[begin])) ++begin;
    size_t end = begin;
    while (end < line.size() && !isBlank(line[end])) ++end;
    return line.substr(begin, end - begin);
}

bool onlyBlanksAfterFirstToken(std::string_view line) {
    std::string_view token = firstToken(line);
    size_t rest = static_cast<size_t>(token.data() - line.data()) + token.size();
    return std::all_of(line.begin() + rest, line.end(), isBlank);
}

std::string formatRatio(float ratio) {
    char text[32];
    auto result = std::to_chars(text, text + sizeof text, ratio);
    return std::string(text, result.ptr);
}

// The program to run: FALAVOZ_MBROLA or mbrola, looked up in PATH once
// rather than at each start. A name not found stays as it is, so that the
// start says why it fails.
std::string findMbrolaProgram() {
    const char* chosen = std::getenv("FALAVOZ_MBROLA");
    std::string program = chosen && *chosen ? chosen : "mbrola";
    if (program.find('/') != std::string::npos) return program;
    const char* path = std::getenv("PATH");
    std::string_view dirs = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
    while (!dirs.empty()) {
        size_t colon = dirs.find(':');
        std::string dir(dirs.substr(0, colon));
        dirs = colon == std::string_view::npos ? std::string_view() : dirs.substr(colon + 1);
        std::string candidate = (dir.empty() ? "." : dir) + "/" + program;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return program;
}

// The open voices: while one waits for its mbrola, the others' are served
// too, so that none stalls on a full pipe while its samples wait.
std::vector<MbrolaVoice*>& openVoices() {
    static std::vector<MbrolaVoice*> voices;
    return voices;
}

bool nameMeans8k(const std::string& path) {
    std::string name = path.substr(path.find_last_of('/') + 1);
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    return name.find("8k") != std::string::npos;
}

// Why the voice file cannot serve as an mbrola database, or "".
std::string checkVoiceFile(const std::string& path) {
    if (path.empty()) return "Arquivo de voz não informado.";
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return "Arquivo de voz não encontrado: " + path;
        return "Não foi possível abrir o arquivo de voz " + path + ": " + systemErrorText(errno);
    }
    char magic[6] = {};
    ssize_t n;
    do {
        n = ::read(fd, magic, sizeof magic);
    } while (n < 0 && errno == EINTR);
    int err = errno;
    ::close(fd);
    if (n < 0) return "Não foi possível ler o arquivo de voz " + path + ": " + systemErrorText(err);
    if (n != static_cast<ssize_t>(sizeof magic) || std::memcmp(magic, "MBROLA", sizeof magic) != 0)
        return "Arquivo de voz inválido: " + path;
    return "";
}

// The voice's period in samples from its database header, or 0 when the
// header is not the 16 kHz one this library knows.
int voicePeriod(const std::string& path) {
    unsigned char header[26] = {};
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 0;
    ssize_t n;
    do {
        n = ::read(fd, header, sizeof header);
    } while (n < 0 && errno == EINTR);
    ::close(fd);
    if (n != static_cast<ssize_t>(sizeof header)) return 0;
    int rate = header[23] | header[24] << 8;
    return rate == static_cast<int>(kMbrolaRate) ? header[25] : 0;
}

bool debugWanted() {
    const char* debug = std::getenv("FALAVOZ_DEBUG");
    return debug && *debug && std::strcmp(debug, "0") != 0;
}

// A phone line naming the marker would end its utterance early: it becomes
// a silence of the same length.
std::string withoutMarker(const std::string& line) {
    std::string_view token = firstToken(line);
    if (token != kMarker) return line;
    size_t at = static_cast<size_t>(token.data() - line.data());
    return line.substr(0, at) + "_" + line.substr(at + token.size());
}

std::string padLines(int samples) {
    char text[32];
    auto result = std::to_chars(text, text + sizeof text, samples * 1000.0 / kMbrolaRate);
    return "_ " + std::string(text, result.ptr) + "\n#\n" + std::string(kMarkerLines);
}

}  // namespace

bool MbrolaVoice::open(const std::string& path) {
    close();
    std::string problem = checkVoiceFile(path);
    if (!problem.empty()) {
        error_ = problem;
        return false;
    }
    eightK_ = nameMeans8k(path);
    if (eightK_) {
        std::string reason;
        if (!resampler_.open(kMbrolaRate, kMbrolaRate / 2, reason)) {
            error_ = "Não foi possível preparar a conversão para 8000 Hz: " + reason;
            return false;
        }
    }
    voicePath_ = path;
    program_ = findMbrolaProgram();
    open_ = true;
    openVoices().push_back(this);
    error_.clear();
    period_ = voicePeriod(path);
    reuse_ = period_ > 0;

    // Have mbrola load the voice and say a short silence: a missing program
    // or a database it refuses shows up here rather than at the first word,
    // and so does a program that never answers the marker.
    checkingReuse_ = reuse_;
    int total = 0;
    int n = probe(total);
    if (checkingReuse_ && !reuse_) {
        reset();
        n = probe(total);
    }
    checkingReuse_ = false;
    if (n < 0 || total == 0) {
        if (n < 0 && !startFailed_) {
            error_ = "Arquivo de voz recusado pelo mbrola: " + path;
            if (!childMessage_.empty()) error_ += " (" + childMessage_ + ")";
        } else if (n == 0) {
            error_ = "O programa mbrola não produziu som com o arquivo de voz " + path;
        }
        close();
        return false;
    }
    reset();
    return true;
}

// Renders a short silence; returns what the last read returned, with the
// number of samples in samples.
int MbrolaVoice::probe(int& samples) {
    write("_ 20\r\n#");
    std::vector<int16_t> scratch(4096);
    samples = 0;
    int n;
    while ((n = read(scratch.data(), static_cast<int>(scratch.size()))) > 0) samples += n;
    return n;
}

void MbrolaVoice::close() {
    reset();
    retireChild();
    dropSpare();
    resampler_.close();
    std::erase(openVoices(), this);
    open_ = false;
    eightK_ = false;
    voicePath_.clear();
}

void MbrolaVoice::setVolume(float ratio) {
    float volume = std::isfinite(ratio) && ratio > 0 ? ratio : 0.0f;
    if (volume != volume_) dropSpare();
    volume_ = volume;
}

// The spare has had no input yet, so it stays for the next utterance; so
// does a kept child between utterances, even with its silence on the way.
void MbrolaVoice::reset() {
    if (!keepChild_ || childBusy()) {
        retireChild();
        errorLine_.clear();
    }
    utterances_.clear();
    line_.clear();
    inputLost_ = false;
    // A kept child's stream goes on: a byte of a sample may be on its way.
    samples_.clear();
    head_ = 0;
    resampler_.clear();
    failed_ = false;
}

void MbrolaVoice::dropOutput() {
    samples_.clear();
    head_ = 0;
    oddByte_ = -1;
}

void MbrolaVoice::fail(const std::string& message) {
    failed_ = true;
    error_ = message;
}

// ---- Input -----------------------------------------------------------------

MbrolaVoice::Utterance& MbrolaVoice::currentUtterance() {
    if (utterances_.empty() || utterances_.back().ended) utterances_.emplace_back();
    return utterances_.back();
}

void MbrolaVoice::append(const char* text, size_t size) {
    while (size > 0) {
        const char* newline = static_cast<const char*>(std::memchr(text, '\n', size));
        size_t piece = newline ? static_cast<size_t>(newline - text) + 1 : size;
        line_.append(text, newline ? piece - 1 : piece);
        if (newline) endLine();
        text += piece;
        size -= piece;
    }
}

// A whole line goes to the utterance, kept within what mbrola survives.
void MbrolaVoice::endLine() {
    std::string_view token = firstToken(line_);
    Utterance& u = currentUtterance();
    std::string lines = WithinMbrolaLimits(withoutMarker(line_), "\n");
    long long samples = PhoneSamples(lines, static_cast<int>(kMbrolaRate));
    u.samples = samples < 0 || u.samples < 0 ? -1 : u.samples + samples;
    u.text += lines;
    u.text += '\n';
    if (token == "#")
        u.ended = true;
    else if (!token.empty() && token[0] != ';')
        u.hasPhones = true;
    line_.clear();
}

int MbrolaVoice::write(const char* text) {
    if (!open_) {
        error_ = "Nenhuma voz foi aberta.";
        return -1;
    }
    if (!text) return 0;
    append(text, std::strlen(text));
    // The flush command usually comes last, without its line end.
    if (firstToken(line_) == "#" && onlyBlanksAfterFirstToken(line_)) endLine();

    // Hand the text to mbrola now, taking its output meanwhile so that it
    // never blocks on a full pipe while we block on its full stdin.
    pump(0);
    Clock::time_point lastProgress = Clock::now();
    while (childInputPending()) {
        if (pump(kWaitSliceMs))
            lastProgress = Clock::now();
        else if (stalled(lastProgress))
            abandonChild("O programa mbrola parou de receber o texto.");
    }
    return failed_ ? -1 : 0;
}

int MbrolaVoice::flush() {
    if (!open_) {
        error_ = "Nenhuma voz foi aberta.";
        return -1;
    }
    if (!line_.empty()) endLine();
    if (!utterances_.empty() && !utterances_.back().ended) {
        Utterance& u = utterances_.back();
        u.text += "#\n";
        u.ended = true;
    }
    pump(0);
    return 0;
}

// ---- Output ----------------------------------------------------------------

int MbrolaVoice::read(int16_t* buffer, int wanted) {
    if (!open_) {
        error_ = "Nenhuma voz foi aberta.";
        return -1;
    }
    if (wanted < 0 || (wanted > 0 && !buffer)) {
        error_ = "Pedido de leitura inválido.";
        return -1;
    }
    size_t want = static_cast<size_t>(wanted);

    // Wait only while an ended utterance still has samples to come; else
    // hand out what mbrola has produced so far.
    Clock::time_point lastProgress = Clock::now();
    while (available() < want) {
        bool waitForMore = endedUtterancePending();
        if (pump(waitForMore ? kWaitSliceMs : 0))
            lastProgress = Clock::now();
        else if (!waitForMore)
            break;
        else if (stalled(lastProgress))
            abandonChild("O programa mbrola parou de responder.");
    }

    if (failed_ && available() < want) {
        failed_ = false;
        dropOutput();
        return -1;
    }
    size_t n = std::min(available(), want);
    if (n > 0) std::memcpy(buffer, samples_.data() + head_, n * sizeof(int16_t));
    head_ += n;
    if (head_ == samples_.size()) {
        samples_.clear();
        head_ = 0;
    } else if (head_ >= kCompactAfter && head_ * 2 >= samples_.size()) {
        samples_.erase(samples_.begin(), samples_.begin() + static_cast<std::ptrdiff_t>(head_));
        head_ = 0;
    }
    return static_cast<int>(n);
}

// ---- The mbrola process ----------------------------------------------------

bool MbrolaVoice::childInputPending() const {
    if (!child_.running() || child_.inFd() < 0 || utterances_.empty()) return false;
    const Utterance& u = utterances_.front();
    bool textLeft = u.sent < u.text.size();
    if (keepChild_) return !padding_ && (textLeft || (u.ended && !u.markerSent));
    return textLeft || u.ended;
}

bool MbrolaVoice::endedUtterancePending() const {
    return std::any_of(utterances_.begin(), utterances_.end(),
                       [](const Utterance& u) { return u.ended && u.hasPhones; });
}

bool MbrolaVoice::stalled(Clock::time_point lastProgress) const {
    return Clock::now() - lastProgress > kStallLimit;
}

// One round of moving text to mbrola and samples from it, waiting up to
// timeoutMs when nothing can move at once. True when something moved.
bool MbrolaVoice::pump(int timeoutMs) {
    dropEmptyUtterances();
    if (keepChild_ && !childFitsNextUtterance()) retireChild();
    if (!child_.running()) {
        if (utterances_.empty() || !utterances_.front().hasPhones) return false;
        startChild();
        return true;
    }
    bool moved = transfer(0);
    if (!moved && checkingReuse_ && awaitingMarker() && Clock::now() - lastActivity_ > markerCheckLimit()) {
        stopReusing();
        return true;
    }
    if (!moved && timeoutMs > 0) moved = transfer(timeoutMs);
    // A kept child that ended between utterances is replaced at once.
    if (moved && !child_.running() && !utterances_.empty() && utterances_.front().hasPhones) startChild();
    return moved;
}

void MbrolaVoice::addPollFds(std::vector<pollfd>& fds) const {
    if (childInputPending()) fds.push_back({child_.inFd(), POLLOUT, 0});
    if (child_.errFd() >= 0) fds.push_back({child_.errFd(), POLLIN, 0});
    if (child_.outFd() >= 0) fds.push_back({child_.outFd(), POLLIN, 0});
}

// Waits up to timeoutMs for a pipe of the child to be ready, and moves
// what can move; while waiting, the other voices' children are served too.
// True when something of this child moved.
bool MbrolaVoice::transfer(int timeoutMs) {
    std::vector<pollfd> fds;
    addPollFds(fds);
    const size_t own = fds.size();
    std::vector<MbrolaVoice*> others;
    if (timeoutMs > 0)
        for (MbrolaVoice* other : openVoices())
            if (other != this && other->child_.running()) {
                others.push_back(other);
                other->addPollFds(fds);
            }
    if (fds.empty()) return false;
    int ready;
    while ((ready = ::poll(fds.data(), fds.size(), timeoutMs)) < 0 && errno == EINTR) {
    }
    if (ready <= 0) return false;

    auto isReady = [&](int fd) {
        for (size_t k = 0; k < own; ++k)
            if (fds[k].fd == fd) return fds[k].revents != 0;
        return false;
    };
    bool inReady = isReady(child_.inFd()), errReady = isReady(child_.errFd()),
         outReady = isReady(child_.outFd());
    bool moved = inReady && feedInput();
    // The marker's warning comes after the utterance's samples are all in
    // the output pipe: stderr is read first, and a marker has the output
    // drained before it counts.
    if (errReady) moved = drainErrors() || moved;
    // Draining may end the child and drop its utterance, so it comes last.
    if (outReady || markersSeen_ > 0) moved = drainOutput() || moved;
    if (moved) lastActivity_ = Clock::now();
    while (keepChild_ && markersSeen_ > 0) {
        --markersSeen_;
        takeMarker();
        moved = true;
    }
    for (size_t k = own; k < fds.size(); ++k)
        if (fds[k].revents != 0)
            for (MbrolaVoice* other : others)
                if (other->child_.inFd() == fds[k].fd || other->child_.outFd() == fds[k].fd ||
                    other->child_.errFd() == fds[k].fd) {
                    other->transfer(0);
                    break;
                }
    return moved;
}

bool MbrolaVoice::feedInput() {
    if (child_.inFd() < 0 || utterances_.empty() || padding_) return false;
    Utterance& u = utterances_.front();
    if (keepChild_ && u.ended && !u.markerSent) {
        u.text += kMarkerLines;
        u.markerSent = true;
    }
    if (u.sent < u.text.size()) u.started = true;
    bool moved = false;
    while (u.sent < u.text.size()) {
        ssize_t n = child_.writeIn(u.text.data() + u.sent, u.text.size() - u.sent);
        if (n > 0) {
            u.sent += static_cast<size_t>(n);
            moved = true;
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno == EAGAIN) {
            break;
        } else {
            // mbrola is gone; its exit status tells why once its output ends.
            inputLost_ = true;
            u.sent = u.text.size();
            child_.closeIn();
            return true;
        }
    }
    // A long melody can be one utterance: let go of what mbrola has taken.
    if (u.sent >= kCompactAfter) {
        u.text.erase(0, u.sent);
        u.sent = 0;
    }
    if (u.ended && u.sent == u.text.size() && !keepChild_) {
        // The end of its input is what makes mbrola finish the utterance.
        child_.closeIn();
        moved = true;
    }
    return moved;
}

bool MbrolaVoice::drainOutput() {
    bool moved = false;
    if (readBuffer_.empty()) readBuffer_.resize(kReadChunk);
    while (child_.outFd() >= 0) {
        ssize_t n = ::read(child_.outFd(), readBuffer_.data(), readBuffer_.size());
        if (n > 0) {
            takeSamples(readBuffer_.data(), static_cast<size_t>(n));
            moved = true;
            // Less than asked: the pipe is empty for now.
            if (static_cast<size_t>(n) < readBuffer_.size()) break;
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno == EAGAIN) {
            break;
        } else {
            finishChild();
            return true;
        }
    }
    return moved;
}

bool MbrolaVoice::drainErrors() {
    char text[4096];
    bool moved = false;
    while (child_.errFd() >= 0) {
        ssize_t n = ::read(child_.errFd(), text, sizeof text);
        if (n > 0) {
            takeErrorText(text, static_cast<size_t>(n));
            moved = true;
            if (static_cast<size_t>(n) < sizeof text) break;
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno == EAGAIN) {
            break;
        } else {
            child_.closeErr();
            moved = true;
        }
    }
    return moved;
}

void MbrolaVoice::takeSamples(const char* bytes, size_t size) {
    // mbrola writes 16-bit little-endian samples; a read may split one.
    // They are decoded straight into the queue, or into a scratch vector
    // that the resampler reads.
    std::vector<int16_t>& into = eightK_ || padding_ ? scratch_ : samples_;
    if (&into == &scratch_) scratch_.clear();
    const size_t before = into.size();
    into.resize(before + (size + (oddByte_ >= 0 ? 1 : 0)) / 2);
    int16_t* out = into.data() + before;
    size_t i = 0;
    if (oddByte_ >= 0 && size > 0) {
        *out++ = static_cast<int16_t>(oddByte_ | (static_cast<unsigned char>(bytes[0]) << 8));
        oddByte_ = -1;
        i = 1;
    }
    for (; i + 1 < size; i += 2)
        *out++ = static_cast<int16_t>(static_cast<unsigned char>(bytes[i]) |
                                      (static_cast<unsigned char>(bytes[i + 1]) << 8));
    if (i < size) oddByte_ = static_cast<unsigned char>(bytes[i]);

    const size_t fresh = into.size() - before;
    receivedSamples_ += static_cast<long long>(fresh);
    if (eightK_ && !padding_) resampler_.process(scratch_.data(), fresh, samples_);
}

void MbrolaVoice::takeErrorText(const char* text, size_t size) {
    // Keep the first line that is not one of the warnings -e lets through
    // ("Warning: a-xy unknown, replaced with _-_"): it names the fatal error,
    // and what follows it only elaborates.
    for (size_t i = 0; i < size; ++i) {
        char c = text[i];
        if (c == '\n') {
            std::string_view line(errorLine_);
            while (!line.empty() && isBlank(line.back())) line.remove_suffix(1);
            while (!line.empty() && isBlank(line.front())) line.remove_prefix(1);
            if (childMessage_.empty() && !line.empty() && line.substr(0, 7) != "Warning")
                childMessage_ = line;
            if (line.starts_with(kMarkerWarning)) ++markersSeen_;
            errorLine_.clear();
        } else if (errorLine_.size() < kMaxErrorLine) {
            errorLine_ += c;
        }
    }
}

void MbrolaVoice::finishChild() {
    ChildProcess::Exit exit = child_.reap();
    // Everything it wrote to stderr is in the pipe once it has exited.
    drainErrors();
    takeErrorText("\n", 1);
    child_.closeIn();
    child_.closeOut();
    child_.closeErr();
    oddByte_ = -1;
    bool wasKept = std::exchange(keepChild_, false);
    padding_ = false;
    // A kept child that ends between utterances owes nothing.
    if (utterances_.empty() || (wasKept && !utterances_.front().started)) return;
    if (eightK_) resampler_.finish(samples_);

    const Utterance& u = utterances_.front();
    bool complete = !wasKept && u.ended && u.sent == u.text.size() && !inputLost_;
    if (!exit.ok) {
        std::string message =
            exit.signal ? "O programa mbrola foi interrompido (sinal " + std::to_string(exit.signal) + ")"
                        : "O programa mbrola terminou com erro (código " + std::to_string(exit.code) + ")";
        if (!childMessage_.empty()) message += ": " + childMessage_;
        startFailed_ = false;
        fail(message);
    } else if (!complete) {
        startFailed_ = false;
        fail("O programa mbrola terminou antes do fim do texto.");
    }
    utterances_.pop_front();
    inputLost_ = false;
}

bool MbrolaVoice::startChild() {
    std::vector<std::string> argv = mbrolaArgv();
    childMessage_.clear();
    errorLine_.clear();
    inputLost_ = false;
    oddByte_ = -1;
    markersSeen_ = 0;
    owedSamples_ = 0;
    receivedSamples_ = 0;
    padding_ = false;
    lastActivity_ = Clock::now();
    std::string reason;
    if (reuse_) {
        // One kept child needs no spare.
        dropSpare();
        keepChild_ = child_.start(argv, reason);
        if (keepChild_) {
            childArgv_ = argv;
            return true;
        }
    } else if (takeSpare(argv) || child_.start(argv, reason)) {
        startSpare(argv);
        return true;
    }
    startFailed_ = true;
    fail("Não foi possível iniciar o programa mbrola (" + argv[0] + "): " + reason);
    utterances_.pop_front();
    return false;
}

std::vector<std::string> MbrolaVoice::mbrolaArgv() const {
    std::vector<std::string> argv = {program_, "-e", "-R", "lh h"};
    if (volume_ != 1.0f) {
        argv.push_back("-v");
        argv.push_back(formatRatio(volume_));
    }
    // A file name starting with "-" would read as an option.
    argv.push_back(voicePath_.front() == '-' ? "./" + voicePath_ : voicePath_);
    argv.push_back("-");
    argv.push_back("-");
    return argv;
}

// Makes the spare the current process when it was started as argv says and
// has not died meanwhile; any other spare is dropped.
bool MbrolaVoice::takeSpare(const std::vector<std::string>& argv) {
    bool fits = spareArgv_ == argv && spare_.stillRunning();
    if (fits) child_ = std::move(spare_);
    dropSpare();
    return fits;
}

// A spare that fails to start is no loss: the next utterance starts its own
// process and reports why that fails.
void MbrolaVoice::startSpare(const std::vector<std::string>& argv) {
    dropSpare();
    std::string ignored;
    if (spare_.start(argv, ignored)) spareArgv_ = argv;
}

void MbrolaVoice::dropSpare() {
    spare_.kill();
    spareArgv_.clear();
}

void MbrolaVoice::abandonChild(const std::string& reason) {
    retireChild();
    oddByte_ = -1;
    resampler_.clear();
    if (!utterances_.empty()) utterances_.pop_front();
    startFailed_ = false;
    fail(reason);
}

// ---- The kept child ---------------------------------------------------------

// Ended utterances without phones need no mbrola, unless one has begun
// going to it.
void MbrolaVoice::dropEmptyUtterances() {
    while (!utterances_.empty() && utterances_.front().ended && !utterances_.front().hasPhones &&
           !utterances_.front().started)
        utterances_.pop_front();
}

// A kept child serves the next utterance only with the arguments it would
// be started with now (the volume may have changed).
// A child that died between utterances is reaped here.
bool MbrolaVoice::childFitsNextUtterance() {
    if (childBusy() || padding_ || utterances_.empty()) return true;
    return child_.stillRunning() && childArgv_ == mbrolaArgv();
}

bool MbrolaVoice::childBusy() const {
    return keepChild_ && !utterances_.empty() && utterances_.front().started;
}

bool MbrolaVoice::awaitingMarker() const {
    return keepChild_ && (padding_ || (!utterances_.empty() && utterances_.front().markerSent));
}

void MbrolaVoice::takeMarker() {
    if (padding_)
        finishPad();
    else if (!utterances_.empty() && utterances_.front().markerSent)
        endUtteranceInChild();
    else
        retireChild();  // a marker nobody sent: trust this child no further
}

// The utterance's samples are all in: what mbrola still holds back must be
// less than a period, and a silence completing the period makes it give
// that back, to be dropped.
void MbrolaVoice::endUtteranceInChild() {
    const Utterance& u = utterances_.front();
    bool counted = u.samples >= 0 && oddByte_ < 0;
    owedSamples_ += std::max(u.samples, 0LL);
    utterances_.pop_front();
    if (eightK_) resampler_.finish(samples_);

    long long heldBack = owedSamples_ - receivedSamples_;
    if (!counted || heldBack < 0 || heldBack >= period_) {
        retireChild();
        return;
    }
    if (heldBack == 0) return;
    int pad = period_ - static_cast<int>(heldBack);
    std::string lines = padLines(pad);
    // mbrola has read all it was sent, so the pipe takes these few bytes.
    ssize_t n = child_.writeIn(lines.data(), lines.size());
    if (n != static_cast<ssize_t>(lines.size())) {
        retireChild();
        return;
    }
    owedSamples_ += pad;
    padding_ = true;
}

void MbrolaVoice::finishPad() {
    padding_ = false;
    if (owedSamples_ != receivedSamples_ || oddByte_ >= 0) retireChild();
}

void MbrolaVoice::retireChild() {
    child_.kill();
    keepChild_ = false;
    padding_ = false;
    markersSeen_ = 0;
    oddByte_ = -1;
    childArgv_.clear();
}

// mbrola did not answer the marker at open: a process per utterance, as
// before, from now on.
void MbrolaVoice::stopReusing() {
    if (debugWanted())
        std::fprintf(stderr, "FvDsp32: mbrola não respondeu ao marcador de fim; um processo por frase.\n");
    retireChild();
    reuse_ = false;
    utterances_.clear();
    dropOutput();
    resampler_.clear();
}

}  // namespace fvdsp
