// FvDsp32 against the real mbrola program and br1 voice.
#include "FvDsp32.h"

#include "Resampler.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kPull = 16000;  // what the engine asks for per read

// 380 ms of phones; mbrola delivers a few samples less than that.
const char* const kShortUtterance = "_ 50\r\na 100 50 120\r\nm 80\r\na 100\r\n_ 50\r\n#";
constexpr int kShortSamples = 380 * 16;

std::string errorText() {
    char buffer[101];
    lastErrorStr_MBR(buffer, 100);
    return buffer;
}

// Reads as the engine does: until a read delivers fewer samples than asked.
std::vector<short> readAll() {
    std::vector<short> all;
    std::vector<short> chunk(kPull);
    for (;;) {
        int n = read_MBR(chunk.data(), kPull);
        EXPECT_GE(n, 0) << errorText();
        if (n <= 0) break;
        all.insert(all.end(), chunk.begin(), chunk.begin() + n);
        if (n < kPull) break;
    }
    return all;
}

double rms(const std::vector<short>& samples) {
    double sum = 0;
    for (short s : samples) sum += double(s) * s;
    return samples.empty() ? 0 : std::sqrt(sum / samples.size());
}

// Our own child processes, as /proc lists them.
std::vector<pid_t> childPids() {
    std::vector<pid_t> pids;
    std::string self = std::to_string(getpid());
    DIR* proc = opendir("/proc");
    while (dirent* entry = readdir(proc)) {
        if (entry->d_name[0] < '0' || entry->d_name[0] > '9') continue;
        std::ifstream stat(std::string("/proc/") + entry->d_name + "/stat");
        std::string line;
        std::getline(stat, line);
        size_t close = line.rfind(')');
        if (close == std::string::npos) continue;
        // After "pid (name)": state, then the parent's pid.
        std::string state, parent;
        std::istringstream fields(line.substr(close + 1));
        fields >> state >> parent;
        if (parent == self) pids.push_back(std::atoi(entry->d_name));
    }
    closedir(proc);
    return pids;
}

int childProcessCount() { return static_cast<int>(childPids().size()); }

// The arguments a process runs with, joined by spaces.
std::string commandLine(pid_t pid) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/cmdline", std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::replace(text.begin(), text.end(), '\0', ' ');
    return text;
}

char processState(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    size_t close = line.rfind(')');
    return close == std::string::npos || close + 2 >= line.size() ? '?' : line[close + 2];
}

std::vector<std::string> linesOf(const std::string& path) {
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
}

// Waits up to five seconds for a condition another process brings about.
template <typename Condition>
bool eventually(Condition condition) {
    for (int i = 0; i < 500 && !condition(); ++i) usleep(10000);
    return condition();
}

int openFdCount() {
    int count = 0;
    DIR* fds = opendir("/proc/self/fd");
    while (dirent* entry = readdir(fds)) count += entry->d_name[0] != '.';
    closedir(fds);
    return count;
}

class FvDspTest : public testing::Test {
protected:
    void SetUp() override {
        struct stat info;
        ASSERT_EQ(stat(FVDSP_TEST_VOICE, &info), 0)
            << "voice missing: " << FVDSP_TEST_VOICE << " (scripts/setup.sh installs it)";
        std::string pattern = (std::filesystem::temp_directory_path() / "fvdsp-test-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        ASSERT_EQ(symlink(FVDSP_TEST_VOICE, voice16k().c_str()), 0);
        ASSERT_EQ(symlink(FVDSP_TEST_VOICE, voice8k().c_str()), 0);
    }

    void TearDown() override {
        close_MBR();
        SetVolume_MBR(1.0f);
        unsetenv("FALAVOZ_MBROLA");
        unsetenv("FALAVOZ_MBROLA_MARKER_MS");
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    std::string voice16k() const { return dir_ + "/br1.dsp"; }
    std::string voice8k() const { return dir_ + "/br18k.dsp"; }

    std::string writeFile(const std::string& name, const std::string& content, bool executable = false) {
        std::string path = dir_ + "/" + name;
        std::ofstream(path, std::ios::binary) << content;
        if (executable) chmod(path.c_str(), 0755);
        return path;
    }

    // mbrola through a script that notes the process id of each start.
    std::string countingMbrola() {
        return writeFile("mbrola-contado", "#!/bin/sh\necho $$ >> '" + startLog() + "'\nexec mbrola \"$@\"\n",
                         true);
    }
    std::string startLog() const { return dir_ + "/inicios.log"; }

    std::vector<short> say(const std::string& lines) {
        EXPECT_EQ(write_MBR(lines.c_str()), 0) << errorText();
        return readAll();
    }

    std::string dir_;
};

TEST_F(FvDspTest, ShortUtteranceAt16kHzAndThenNothingMore) {
    ASSERT_EQ(init_MBR(voice16k().c_str()), 0) << errorText();
    std::vector<short> samples = say(kShortUtterance);

    EXPECT_NEAR(double(samples.size()), kShortSamples, kShortSamples * 0.05);
    EXPECT_GT(rms(samples), 500.0);

    short more[kPull];
    EXPECT_EQ(read_MBR(more, kPull), 0);
    EXPECT_EQ(read_MBR(more, kPull), 0);
}

TEST_F(FvDspTest, EightKilohertzVoiceGivesHalfTheSamples) {
    ASSERT_EQ(init_MBR(voice16k().c_str()), 0) << errorText();
    std::vector<short> full = say(kShortUtterance);
    close_MBR();

    ASSERT_EQ(init_MBR(voice8k().c_str()), 0) << errorText();
    std::vector<short> half = say(kShortUtterance);
    EXPECT_NEAR(double(half.size()), full.size() / 2.0, 4.0);
    EXPECT_NEAR(rms(half), rms(full), rms(full) * 0.2);

    // The resampler starts every utterance afresh.
    EXPECT_EQ(say(kShortUtterance), half);
}

TEST_F(FvDspTest, UtterancesAreExactAndDoNotMix) {
    ASSERT_EQ(init_MBR(voice16k().c_str()), 0) << errorText();
    const std::vector<short> reference = say(kShortUtterance);
    ASSERT_FALSE(reference.empty());

    // Two utterances in one write come out one after the other.
    std::vector<short> twice = say(std::string(kShortUtterance) + "\r\n" + kShortUtterance);
    std::vector<short> expected = reference;
    expected.insert(expected.end(), reference.begin(), reference.end());
    EXPECT_EQ(twice, expected);

    // Lines written one by one, with reads in between as while singing.
    std::vector<short> pieces;
    short chunk[kPull];
    for (const char* line : {"_ 50\r\n", "a 100 50 120\r\n", "m 80\r\n", "a 100\r\n", "_ 50\r\n"}) {
        ASSERT_EQ(write_MBR(line), 0);
        int n = read_MBR(chunk, kPull);
        ASSERT_GE(n, 0) << errorText();
        pieces.insert(pieces.end(), chunk, chunk + n);
    }
    ASSERT_EQ(flush_MBR(), 0);
    std::vector<short> rest = readAll();
    pieces.insert(pieces.end(), rest.begin(), rest.end());
    EXPECT_EQ(pieces, reference);
}

TEST_F(FvDspTest, ResetDropsEverythingPending) {
    ASSERT_EQ(init_MBR(voice16k().c_str()), 0) << errorText();
    const std::vector<short> reference = say(kShortUtterance);
    short chunk[kPull];

    // Reset before the flush: the lines never sound.
    for (int i = 0; i < 200; ++i) ASSERT_EQ(write_MBR("a 100 50 120\r\nm 80\r\n"), 0);
    reset_MBR();
    EXPECT_EQ(read_MBR(chunk, kPull), 0);

    // Reset after the flush, with samples waiting: none of them come out.
    ASSERT_EQ(write_MBR(kShortUtterance), 0);
    ASSERT_EQ(read_MBR(chunk, 100), 100);
    reset_MBR();
    EXPECT_EQ(read_MBR(chunk, kPull), 0);

    // A half-written line is dropped too.
    ASSERT_EQ(write_MBR("a 100 5"), 0);
    reset_MBR();
    EXPECT_EQ(say(kShortUtterance), reference);
}

TEST_F(FvDspTest, FloodBeforeReadingNeitherBlocksNorLosesSamples) {
    ASSERT_EQ(init_MBR(voice16k().c_str()), 0) << errorText();
    auto start = std::chrono::steady_clock::now();
    // 250 s of speech from 130 kB of lines: both overflow a pipe many times.
    const int lines = 5000;
    std::string bulk;
    for (int i = 0; i < lines; ++i)
        bulk += i % 2 ? "m 50  0 110.5 100 118.25\r\n" : "a 50  0 118.25 100 110.5\r\n";
    // Most of it in one call, the rest line by line.
    size_t split = bulk.size() * 4 / 5;
    split = bulk.find('\n', split) + 1;
    ASSERT_EQ(write_MBR(bulk.substr(0, split).c_str()), 0);
    for (size_t at = split; at < bulk.size();) {
        size_t end = bulk.find('\n', at) + 1;
        ASSERT_EQ(write_MBR(bulk.substr(at, end - at).c_str()), 0);
        at = end;
    }
    ASSERT_EQ(write_MBR("#"), 0);
    std::vector<short> samples = readAll();
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    EXPECT_NEAR(double(samples.size()), lines * 50 * 16, lines * 50 * 16 * 0.01);
    EXPECT_LT(seconds, 20.0);
}

TEST_F(FvDspTest, VolumeScalesTheNextVoiceStart) {
    ASSERT_EQ(init_MBR(voice16k().c_str()), 0) << errorText();
    double full = rms(say(kShortUtterance));
    close_MBR();

    SetVolume_MBR(0.5f);
    ASSERT_EQ(init_MBR(voice16k().c_str()), 0) << errorText();
    double half = rms(say(kShortUtterance));
    EXPECT_NEAR(half / full, 0.5, 0.05);
}

TEST_F(FvDspTest, OddInputStillSounds) {
    ASSERT_EQ(init_MBR(voice16k().c_str()), 0) << errorText();
    // An unknown phoneme is replaced by silence instead of ending the utterance.
    std::vector<short> samples = say("_ 50\r\na 100 50 120\r\nxyz 80\r\na 100\r\n_ 50\r\n#");
    EXPECT_NEAR(double(samples.size()), kShortSamples, kShortSamples * 0.05);
    // The lh sound is written "h".
    samples = say("_ 50\r\na 100 50 120\r\nh 100\r\na 100\r\n_ 50\r\n#");
    ASSERT_GT(samples.size(), 4000u);
    EXPECT_GT(rms(std::vector<short>(samples.begin() + 2600, samples.begin() + 3800)), 500.0);
    // Comment lines and flushes with nothing to say produce no samples.
    EXPECT_TRUE(say("; nada\r\n#").empty());
    EXPECT_TRUE(say("#").empty());
}

TEST_F(FvDspTest, LinesThatWouldEndMbrolaAreSpokenInFull) {
    ASSERT_EQ(init_MBR(voice16k().c_str()), 0) << errorText();
    // Two vowels of 25 s: their middle diphone needs more pitch periods than
    // mbrola allows, which ended the utterance.
    std::vector<short> samples = say("_ 20 50 120\r\na 25000 50 100\r\na 25000 50 100\r\n_ 50\r\n#");
    EXPECT_NEAR(samples.size() / 16000.0, 50.07, 0.05);
    // A negative pitch corrupted its memory.
    samples = say("_ 50\r\na 100 50 -120\r\n_ 50\r\n#");
    EXPECT_NEAR(samples.size() / 16000.0, 0.2, 0.01);
}

TEST_F(FvDspTest, ALineMbrolaRefusesFailsTheReadWithItsMessage) {
    ASSERT_EQ(init_MBR(voice16k().c_str()), 0) << errorText();
    const int written = write_MBR("_ 50\r\na xx 50 120\r\n_ 50\r\n#");
    EXPECT_TRUE(written == 0 || written == -1) << written;
    short chunk[kPull];
    EXPECT_LT(read_MBR(chunk, kPull), 0);
    // Windows-1252 across the interface.
    EXPECT_NE(errorText().find("c\xf3"
                               "digo"),
              std::string::npos)
        << errorText();
    EXPECT_NE(errorText().find("a xx"), std::string::npos) << errorText();
    reset_MBR();
    EXPECT_NEAR(double(say(kShortUtterance).size()), kShortSamples, kShortSamples * 0.05);
}

TEST_F(FvDspTest, BadVoiceOrProgramFailsWithReadableText) {
    EXPECT_NE(init_MBR((dir_ + "/br1.dsp.nada").c_str()), 0);
    EXPECT_NE(errorText().find("n\xe3o encontrado"), std::string::npos) << errorText();
    EXPECT_NE(errorText().find("br1.dsp.nada"), std::string::npos) << errorText();

    EXPECT_NE(init_MBR(writeFile("texto.dsp", "isto n\xe3o \xe9 uma voz\n").c_str()), 0);
    EXPECT_NE(errorText().find("inv\xe1lido"), std::string::npos) << errorText();

    EXPECT_NE(init_MBR(dir_.c_str()), 0);
    EXPECT_FALSE(errorText().empty());

    // Right signature, wrong content: mbrola itself refuses it.
    EXPECT_NE(init_MBR(writeFile("falsa.dsp", "MBROLA2.050" + std::string(4000, 'x')).c_str()), 0);
    EXPECT_NE(errorText().find("recusado"), std::string::npos) << errorText();

    setenv("FALAVOZ_MBROLA", (dir_ + "/nenhum-mbrola").c_str(), 1);
    EXPECT_NE(init_MBR(voice16k().c_str()), 0);
    EXPECT_NE(errorText().find("N\xe3o foi poss\xedvel iniciar o programa mbrola"), std::string::npos)
        << errorText();

    // Without an open voice, nothing goes through.
    short chunk[16];
    EXPECT_LT(write_MBR("a 100\r\n"), 0);
    EXPECT_LT(read_MBR(chunk, 16), 0);
    EXPECT_EQ(childProcessCount(), 0);

    char tiny[8];
    EXPECT_EQ(lastErrorStr_MBR(tiny, sizeof tiny), 7);
    EXPECT_EQ(tiny[7], '\0');
}

TEST_F(FvDspTest, DyingMbrolaIsReportedAndReaped) {
    // Passes the text on to the real mbrola unless it contains "boom".
    std::string fake = writeFile("mbrola-fragil",
                                 "#!/bin/sh\n"
                                 "input=$(cat)\n"
                                 "case \"$input\" in *boom*) echo 'Fatal error: boom' >&2; exit 3;; esac\n"
                                 "printf '%s\\n' \"$input\" | mbrola \"$@\"\n",
                                 true);
    setenv("FALAVOZ_MBROLA", fake.c_str(), 1);
    // It reads all its input before it says anything, so it never answers
    // the end marker: no need to wait long for that.
    setenv("FALAVOZ_MBROLA_MARKER_MS", "20", 1);
    ASSERT_EQ(init_MBR(voice16k().c_str()), 0) << errorText();

    // The death shows at the read, or already while the text goes in when
    // mbrola is quick to die.
    const int written = write_MBR("_ 50\r\nboom 100\r\n#");
    EXPECT_TRUE(written == 0 || written == -1) << written;
    short chunk[kPull];
    EXPECT_LT(read_MBR(chunk, kPull), 0);
    EXPECT_NE(errorText().find("boom"), std::string::npos) << errorText();

    // The next utterance gets a fresh process.
    reset_MBR();
    EXPECT_NEAR(double(say(kShortUtterance).size()), kShortSamples, kShortSamples * 0.05);
}

// One mbrola per voice channel, or one and a spare when each utterance
// has a process of its own; none after close.
TEST_F(FvDspTest, ChildProcessesLiveOnlyWhileTheVoiceIsOpen) {
    int fdsBefore = openFdCount();
    for (const std::string& voice : {voice16k(), voice8k()}) {
        ASSERT_EQ(init_MBR(voice.c_str()), 0) << errorText();
        const std::vector<pid_t> kept = childPids();
        EXPECT_EQ(kept.size(), 1u);
        say(kShortUtterance);
        reset_MBR();
        EXPECT_EQ(childPids(), kept) << "an idle reset keeps the child";

        ASSERT_EQ(selectVoice_MBR(1), 0) << errorText();
        say(kShortUtterance);
        // Leave one utterance mid-way, with mbrola still running.
        ASSERT_EQ(write_MBR("_ 50\r\na 100 50 120\r\nm 80\r\n"), 0);
        ASSERT_EQ(selectVoice_MBR(0), 0);
        say(kShortUtterance);
        EXPECT_EQ(childProcessCount(), 2) << "one for each channel";
        close_MBR();
        EXPECT_EQ(childProcessCount(), 0);
        EXPECT_EQ(openFdCount(), fdsBefore);
    }

    // mbrola with its warnings, the end marker's among them, unheard.
    setenv("FALAVOZ_MBROLA",
           writeFile("mbrola-mudo", "#!/bin/sh\nexec mbrola \"$@\" 2>/dev/null\n", true).c_str(), 1);
    setenv("FALAVOZ_MBROLA_MARKER_MS", "20", 1);
    ASSERT_EQ(init_MBR(voice16k().c_str()), 0) << errorText();
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(say(kShortUtterance).empty());
        EXPECT_LE(childProcessCount(), 1) << "the spare, waiting for the next utterance";
    }
    ASSERT_EQ(write_MBR("_ 50\r\na 100 50 120\r\nm 80\r\n"), 0);
    EXPECT_EQ(childProcessCount(), 2) << "the utterance's process and the spare";
    close_MBR();
    EXPECT_EQ(childProcessCount(), 0);
    EXPECT_EQ(openFdCount(), fdsBefore);
}

// The descriptors a child holds that point at a pipe of ours, by inode.
int childHoldsPipe(pid_t pid, const std::string& pipeLink) {
    int held = 0;
    const std::string dir = "/proc/" + std::to_string(pid) + "/fd";
    DIR* fds = opendir(dir.c_str());
    if (!fds) return 0;
    while (dirent* entry = readdir(fds)) {
        if (entry->d_name[0] == '.') continue;
        char target[256] = {};
        if (readlink((dir + "/" + entry->d_name).c_str(), target, sizeof target - 1) > 0 &&
            pipeLink == target)
            ++held;
    }
    closedir(fds);
    return held;
}

TEST_F(FvDspTest, ChildrenInheritNoDescriptorOfTheHost) {
    // A host's pipe without close-on-exec: no mbrola child, the idle spare
    // included, may hold it, or the host's reader never sees its end.
    int hostPipe[2];
    ASSERT_EQ(pipe(hostPipe), 0);
    char link[256] = {};
    ASSERT_GT(readlink(("/proc/self/fd/" + std::to_string(hostPipe[1])).c_str(), link, sizeof link - 1), 0);

    ASSERT_EQ(init_MBR(voice16k().c_str()), 0) << errorText();
    say(kShortUtterance);
    ASSERT_EQ(write_MBR("_ 50\r\na 100 50 120\r\n"), 0);  // the kept child, speaking
    const std::vector<pid_t> children = childPids();
    EXPECT_GE(children.size(), 1u);
    for (pid_t child : children) EXPECT_EQ(childHoldsPipe(child, link), 0) << commandLine(child);

    close(hostPipe[1]);
    pollfd end = {hostPipe[0], POLLIN, 0};
    char byte;
    EXPECT_TRUE(poll(&end, 1, 2000) == 1 && read(hostPipe[0], &byte, 1) == 0)
        << "the host's pipe reaches its end";
    close(hostPipe[0]);
    close_MBR();
}

TEST_F(FvDspTest, OneKeptChildSpeaksEveryUtterance) {
    int fdsBefore = openFdCount();
    setenv("FALAVOZ_MBROLA", countingMbrola().c_str(), 1);
    ASSERT_EQ(init_MBR(voice16k().c_str()), 0) << errorText();
    const std::vector<pid_t> kept = childPids();
    ASSERT_EQ(kept.size(), 1u);

    // An idle reset keeps it too.
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(say(kShortUtterance).empty());
        reset_MBR();
        EXPECT_EQ(childPids(), kept);
    }
    EXPECT_EQ(linesOf(startLog()).size(), 1u);

    // A reset in the middle of an utterance ends that child: a minute of
    // speech is more than the pipes hold.
    std::string longUtterance;
    for (int i = 0; i < 300; ++i) longUtterance += "a 100 50 120\r\nm 100\r\n";
    ASSERT_EQ(write_MBR((longUtterance + "#").c_str()), 0);
    short some[100];
    ASSERT_EQ(read_MBR(some, 100), 100);
    reset_MBR();
    EXPECT_EQ(childProcessCount(), 0);
    EXPECT_FALSE(say(kShortUtterance).empty());
    EXPECT_EQ(childProcessCount(), 1);

    close_MBR();
    EXPECT_EQ(childProcessCount(), 0);
    EXPECT_EQ(openFdCount(), fdsBefore);
}

TEST_F(FvDspTest, VolumeChangeReplacesTheKeptChild) {
    SetVolume_MBR(0.5f);
    ASSERT_EQ(init_MBR(voice16k().c_str()), 0) << errorText();
    const std::vector<short> halfReference = say(kShortUtterance);
    close_MBR();

    SetVolume_MBR(1.0f);
    ASSERT_EQ(init_MBR(voice16k().c_str()), 0) << errorText();
    double full = rms(say(kShortUtterance));
    const std::vector<pid_t> before = childPids();
    ASSERT_EQ(before.size(), 1u);
    SetVolume_MBR(0.5f);
    EXPECT_EQ(say(kShortUtterance), halfReference);
    EXPECT_NEAR(rms(halfReference) / full, 0.5, 0.05);

    // The new child has the new volume, and setting it again keeps it.
    std::vector<pid_t> now = childPids();
    ASSERT_EQ(now.size(), 1u);
    EXPECT_NE(now, before);
    EXPECT_NE(commandLine(now[0]).find(" -v 0.5 "), std::string::npos) << commandLine(now[0]);
    SetVolume_MBR(0.5f);
    EXPECT_EQ(say(kShortUtterance), halfReference);
    EXPECT_EQ(childPids(), now);
}

TEST_F(FvDspTest, AKeptChildThatDiedIsReapedAndReplaced) {
    std::string program = countingMbrola();
    setenv("FALAVOZ_MBROLA", program.c_str(), 1);
    ASSERT_EQ(init_MBR(voice16k().c_str()), 0) << errorText();
    const std::vector<short> reference = say(kShortUtterance);

    auto killKept = [] {
        std::vector<pid_t> kept = childPids();
        ASSERT_EQ(kept.size(), 1u);
        ASSERT_EQ(kill(kept[0], SIGKILL), 0);
        ASSERT_TRUE(eventually([&] { return processState(kept[0]) == 'Z'; }));
    };
    killKept();
    pid_t dead = childPids()[0];
    EXPECT_EQ(say(kShortUtterance), reference);
    std::vector<pid_t> now = childPids();
    ASSERT_EQ(now.size(), 1u);
    EXPECT_NE(now[0], dead);

    // With no mbrola to start in its place, the utterance fails with why.
    killKept();
    ASSERT_EQ(unlink(program.c_str()), 0);
    EXPECT_LT(write_MBR(kShortUtterance), 0);
    EXPECT_NE(errorText().find("N\xe3o foi poss\xedvel iniciar o programa mbrola"), std::string::npos)
        << errorText();
    EXPECT_EQ(childProcessCount(), 0);
}

// Each utterance rendered by an mbrola process of its own, as the kept
// child must match sample for sample.
std::vector<short> freshRendering(const std::string& voice, const std::string& lines, bool halfRate) {
    std::string command = "printf '%s' '" + lines + "' | mbrola -e -R 'lh h' " + voice + " - -";
    FILE* pipe = popen(command.c_str(), "r");
    std::vector<short> samples;
    short buffer[4096];
    size_t n;
    while ((n = fread(buffer, sizeof(short), 4096, pipe)) > 0)
        samples.insert(samples.end(), buffer, buffer + n);
    pclose(pipe);
    if (!halfRate) return samples;
    fvdsp::Resampler resampler;
    std::string ignored;
    resampler.open(16000, 8000, ignored);
    std::vector<short> half;
    resampler.process(samples.data(), samples.size(), half);
    resampler.finish(half);
    return half;
}

// Fractional durations, a phone of more than one piece, an utterance that
// does not end in silence, and one that names the end marker.
const char* const kVariedUtterances[] = {
    "_ 50\na 100 50 120\nk 80\na 120\n_ 50\n#\n", "_ 33.3\na 101.7 50 130\nk 80.25\no 77.7 20 110\n#\n",
    "m 55.5\na 1234.4 10 100 90 140\n#\n",        "s 60\na 100\n_ 40\n#\n",
    "_ 20\nzzfv 40 50 100\ne 60.06\n#\n",
};

TEST_F(FvDspTest, KeptChildRendersEachUtteranceAsAFreshProcess) {
    for (bool halfRate : {false, true}) {
        ASSERT_EQ(init_MBR((halfRate ? voice8k() : voice16k()).c_str()), 0) << errorText();
        for (int round = 0; round < 2; ++round)
            for (const char* lines : kVariedUtterances) {
                std::string fresh = std::string(lines);
                if (fresh.find("zzfv") != std::string::npos) fresh.replace(fresh.find("zzfv"), 4, "_");
                // mbrola takes the long phone only in pieces.
                if (fresh.find("1234.4") != std::string::npos)
                    fresh.replace(fresh.find("a 1234.4 10 100 90 140"), 22, "a 617 20 100\na 617.4 80 140");
                EXPECT_EQ(say(lines), freshRendering(FVDSP_TEST_VOICE, fresh, halfRate)) << lines;
            }
        close_MBR();
    }
}

TEST_F(FvDspTest, AResetWhileTheAligningSilenceIsOnItsWayKeepsTheChildExact) {
    ASSERT_EQ(init_MBR(voice16k().c_str()), 0) << errorText();
    const std::vector<short> reference = freshRendering(FVDSP_TEST_VOICE, kVariedUtterances[1], false);
    const std::vector<pid_t> kept = childPids();
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(write_MBR(kVariedUtterances[1]), 0);
        // Read the utterance to its end, which sends the silence; the reset
        // comes before mbrola has said it.
        std::vector<short> samples(reference.size());
        int got = 0;
        while (got < static_cast<int>(samples.size())) {
            int n = read_MBR(samples.data() + got, static_cast<int>(samples.size()) - got);
            ASSERT_GT(n, 0) << errorText();
            got += n;
        }
        EXPECT_EQ(samples, reference);
        short more;
        EXPECT_EQ(read_MBR(&more, 1), 0);
        reset_MBR();
    }
    EXPECT_EQ(say(kVariedUtterances[1]), reference);
    EXPECT_EQ(childPids(), kept);
}

// Two channels synthesise at once, each exactly as a process of its own:
// a long utterance on one goes on while the other is read, and comes out
// whole afterwards.
TEST_F(FvDspTest, TwoChannelsRenderAtOnceAndEachExactly) {
    for (bool halfRate : {false, true}) {
        ASSERT_EQ(init_MBR((halfRate ? voice8k() : voice16k()).c_str()), 0) << errorText();
        std::string longLines;
        for (int i = 0; i < 240; ++i) longLines += "a 101.5 50 120\nm 99.7\n";  // 48 s, past the pipes
        longLines += "_ 50\n#\n";
        const std::vector<short> longReference = freshRendering(FVDSP_TEST_VOICE, longLines, halfRate);
        for (int round = 0; round < 2; ++round)
            for (const char* lines : {kVariedUtterances[1], kVariedUtterances[3]}) {
                ASSERT_EQ(selectVoice_MBR(1), 0) << errorText();
                ASSERT_EQ(write_MBR(longLines.c_str()), 0);
                ASSERT_EQ(selectVoice_MBR(0), 0);
                EXPECT_EQ(say(lines), freshRendering(FVDSP_TEST_VOICE, lines, halfRate)) << lines;
                ASSERT_EQ(selectVoice_MBR(1), 0);
                EXPECT_EQ(readAll(), longReference);
            }
        EXPECT_EQ(selectVoice_MBR(2), -1);
        EXPECT_EQ(selectVoice_MBR(-1), -1);
        close_MBR();
    }
    EXPECT_EQ(selectVoice_MBR(1), -1) << "no voice is open";
}

TEST_F(FvDspTest, AProgramThatNeverAnswersTheMarkerGetsAProcessPerUtterance) {
    // mbrola with its warnings, the marker's among them, unheard.
    std::string program = writeFile(
        "mbrola-mudo", "#!/bin/sh\necho $$ >> '" + startLog() + "'\nexec mbrola \"$@\" 2>/dev/null\n", true);
    setenv("FALAVOZ_MBROLA", program.c_str(), 1);
    setenv("FALAVOZ_MBROLA_MARKER_MS", "20", 1);
    ASSERT_EQ(init_MBR(voice16k().c_str()), 0) << errorText();
    const std::vector<short> reference = freshRendering(FVDSP_TEST_VOICE, kVariedUtterances[0], false);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(say(kVariedUtterances[0]), reference);
    // The trial child, the probe's own process and its spare, then one per
    // utterance.
    EXPECT_GE(linesOf(startLog()).size(), 5u);
    close_MBR();
    EXPECT_EQ(childProcessCount(), 0);
}

TEST_F(FvDspTest, NoMbrolaOutlivesTheHostProgram) {
    int report[2];
    ASSERT_EQ(pipe(report), 0);
    std::fflush(nullptr);
    pid_t host = fork();
    ASSERT_GE(host, 0);
    if (host == 0) {
        ::close(report[0]);
        bool spoke = init_MBR(voice16k().c_str()) == 0 && !say(kShortUtterance).empty() &&
                     selectVoice_MBR(1) == 0 && !say(kShortUtterance).empty();
        for (pid_t child : childPids()) (void)!::write(report[1], &child, sizeof child);
        // Exits with the voice open: the library's destructors must end mbrola.
        std::exit(spoke ? 0 : 1);
    }
    ::close(report[1]);
    std::vector<pid_t> children;
    pid_t child;
    while (::read(report[0], &child, sizeof child) == sizeof child) children.push_back(child);
    ::close(report[0]);
    int status = 0;
    ASSERT_EQ(waitpid(host, &status, 0), host);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    EXPECT_EQ(children.size(), 2u);  // the kept children of both channels
    for (pid_t pid : children) EXPECT_NE(kill(pid, 0), 0) << "mbrola " << pid << " still there";
}

}  // namespace
