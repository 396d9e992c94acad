// The exception dictionary: its exports and their codes, its file, and its
// place in front of the lexicon.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "EngineTest.h"
#include "FileBytes.h"
#include "KillMidway.h"
#include "core/EngineState.h"
#include "core/SafeFile.h"
#include "core/TextUtil.h"
#include "core/Tokens.h"
#include "falavoz32.h"
#include "words/Data.h"
#include "words/Dict.h"
#include "words/WordLookup.h"

namespace {

namespace fs = std::filesystem;

class DictTest : public EngineTest {
protected:
    void SetUp() override {
        Engine.initialised = true;
        DictClear();
        dir_ = fs::temp_directory_path() / ("falavoz-dict-" + std::to_string(getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override {
        DictClear();
        fs::remove_all(dir_);
    }

    std::string Write(const std::string& name, const std::string& content) {
        std::string path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    static std::string Entry(const std::string& word) {
        char buffer[FV_DICT_TRANSCRIPTION_SIZE] = "stale";
        int result = TTS_DictGetEntry(word.c_str(), buffer);
        return result == FV_OK ? std::string(buffer) : "<" + std::to_string(result) + ":" + buffer + ">";
    }

    static DictInfo Info() {
        char name[FV_DICT_NAME_SIZE] = "stale";
        DictInfo info;
        EXPECT_EQ(TTS_DictGetInfo(name, &info.entryCount, &info.modified), FV_OK);
        info.name = name;
        return info;
    }

    // How many files the test's folder holds, hidden ones included.
    long FilesInFolder() const {
        return std::distance(fs::directory_iterator(dir_), fs::directory_iterator());
    }

    fs::path dir_;
};

// Restores the umask at the end of a scope.
struct ScopedUmask {
    explicit ScopedUmask(mode_t mask) : saved(umask(mask)) {}
    ~ScopedUmask() { umask(saved); }
    mode_t saved;
};

mode_t ModeOf(const fs::path& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 ? info.st_mode : 0;
}

TEST_F(DictTest, AddLowersTheWordButLookupsDoNot) {
    EXPECT_EQ(TTS_DictAdd("Casa", "-k`a-za"), FV_OK);
    EXPECT_EQ(Entry("Casa"), "<-21:>");  // the buffer is emptied
    EXPECT_EQ(Entry("casa"), "-k`a-za");
    EXPECT_EQ(TTS_DictAdd("casa", "x"), FV_WORD_EXISTS);
    EXPECT_EQ(TTS_DictAdd("CASA", "x"), FV_WORD_EXISTS);

    EXPECT_EQ(TTS_DictUpdate("CASA", "-k`a-sa"), FV_OK);  // update lowers too
    EXPECT_EQ(Entry("casa"), "-k`a-sa");
    EXPECT_EQ(TTS_DictUpdate("mesa", "x"), FV_WORD_NOT_FOUND);

    EXPECT_EQ(TTS_DictDelete("Casa"), FV_WORD_NOT_FOUND);
    EXPECT_EQ(TTS_DictDelete("casa"), FV_OK);
    EXPECT_EQ(Entry("casa"), "<-21:>");
    EXPECT_EQ(TTS_DictDelete("casa"), FV_WORD_NOT_FOUND);
}

TEST_F(DictTest, AddsKeepTheTableSortedAndSaveWritesItWithCrLf) {
    for (const char* word : {"mesa", "abc", "zebra", "casa", "\xE9gua", "b"})
        ASSERT_EQ(TTS_DictAdd(word, (std::string("t-") + word).c_str()), FV_OK) << word;
    std::string path = (dir_ / "sorted.dic").string();
    ASSERT_EQ(TTS_DictSave(path.c_str()), FV_OK);
    EXPECT_EQ(Slurp(path),
              "abc\tt-abc\r\nb\tt-b\r\ncasa\tt-casa\r\nmesa\tt-mesa\r\nzebra\tt-zebra\r\n"
              "\xE9gua\tt-\xE9gua\r\n");
    for (const char* word : {"abc", "b", "casa", "mesa", "zebra", "\xE9gua"})
        EXPECT_EQ(Entry(word), std::string("t-") + word);
}

TEST_F(DictTest, FlagsAndCountFollowEachChange) {
    DictInfo info = Info();
    EXPECT_EQ(info.name, "");
    EXPECT_EQ(info.entryCount, 0);
    EXPECT_EQ(info.modified, 0);

    ASSERT_EQ(TTS_DictAdd("casa", "k"), FV_OK);
    info = Info();
    EXPECT_EQ(info.entryCount, 1);
    EXPECT_EQ(info.modified, 1);

    std::string path = (dir_ / "one.dic").string();
    ASSERT_EQ(TTS_DictSave(path.c_str()), FV_OK);
    info = Info();
    EXPECT_EQ(info.name, path);
    EXPECT_EQ(info.modified, 0);
    ASSERT_EQ(TTS_DictUpdate("casa", "kk"), FV_OK);
    EXPECT_EQ(Info().modified, 1);

    ASSERT_EQ(TTS_DictLoad(path.c_str()), FV_OK);
    info = Info();
    EXPECT_EQ(info.modified, 0);
    EXPECT_EQ(info.entryCount, 1);
    EXPECT_EQ(Entry("casa"), "k");  // the saved transcription, not the later update

    EXPECT_EQ(TTS_DictUnload(), FV_OK);
    info = Info();
    EXPECT_EQ(info.name, "");
    EXPECT_EQ(info.entryCount, 0);
    EXPECT_EQ(info.modified, 0);
    EXPECT_EQ(TTS_DictUnload(), FV_INVALID_COMMAND);
}

TEST_F(DictTest, TheTableHolds5001Entries) {
    char word[16];
    for (int i = 0; i < kDictionarySlots; ++i) {
        std::snprintf(word, sizeof word, "w%05d", i);
        ASSERT_EQ(TTS_DictAdd(word, "x"), FV_OK) << word;
    }
    EXPECT_EQ(TTS_DictAdd("another", "x"), FV_DICTIONARY_FULL);
    EXPECT_EQ(Info().entryCount, 5001);
    EXPECT_EQ(Entry("w05000"), "x");
}

TEST_F(DictTest, OnlyARegularFileOfLinesIsLoaded) {
    // A line longer than any entry can be (a file without line ends) is no
    // dictionary, and is not read into memory whole.
    const std::string endless = Write("endless.dic", "casa\t" + std::string(70000, 'a') + "\r\n");
    EXPECT_EQ(DictLoad(endless), FV_OPEN_ERROR);
    EXPECT_EQ(Entry("casa"), "<" + std::to_string(FV_WORD_NOT_FOUND) + ":>");
    // A FIFO would wait for a writer, a device never end.
    const std::string fifo = (dir_ / "dic.fifo").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(DictLoad(fifo), FV_OPEN_ERROR);
    EXPECT_EQ(DictLoad("/dev/zero"), FV_OPEN_ERROR);
    EXPECT_EQ(DictLoad(dir_.string()), FV_OPEN_ERROR);
}

TEST_F(DictTest, LoadStopsAtAnEmptyOrStarLineAndKeepsLinesAsTheyStand) {
    struct Case {
        std::string content;
        int count;
    };
    const Case cases[] = {
        {"abc\tx\r\nb\ty\r\n\r\nc\tz\r\n", 2},  // the third line is empty
        {"abc\tx\r\n*comment\r\nb\ty\r\n", 1},
        {"abc\tx\nb\ty\n", 2},  // LF alone
        {"abc\tx\r\nb\ty", 2},  // no line end at the end
        {"", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.content);
        ASSERT_EQ(TTS_DictLoad(Write("a.dic", c.content).c_str()), FV_OK);
        EXPECT_EQ(Info().entryCount, c.count);
        EXPECT_EQ(Info().modified, 0);
    }

    // A line without a TAB is a word with an empty transcription; capitals
    // in the file are matched by lower-case lookups only.
    ASSERT_EQ(TTS_DictLoad(Write("b.dic", "Casa\t-k`a-za\r\nsolo\r\n").c_str()), FV_OK);
    EXPECT_EQ(Entry("casa"), "-k`a-za");
    EXPECT_EQ(Entry("Casa"), "<-21:>");
    EXPECT_EQ(Entry("solo"), "");
}

TEST_F(DictTest, AnUnsortedFileIsSearchedAsItStands) {
    ASSERT_EQ(TTS_DictLoad(Write("u.dic", "b\t1\r\nc\t2\r\na\t3\r\n").c_str()), FV_OK);
    EXPECT_EQ(Entry("c"), "2");
    EXPECT_EQ(Entry("a"), "<-21:>");
}

TEST_F(DictTest, LoadKeepsTheFirst5001Entries) {
    std::string lines;
    for (int i = 0; i < kDictionarySlots; ++i) lines += "w" + std::to_string(100000 + i) + "\tx\r\n";
    // Exactly as many as the table holds is no error; one more is.
    EXPECT_EQ(TTS_DictLoad(Write("full.dic", lines).c_str()), FV_OK);
    EXPECT_EQ(Info().entryCount, 5001);
    EXPECT_EQ(TTS_DictLoad(Write("over.dic", lines + "z\tx\r\n").c_str()), FV_DICTIONARY_FULL);
    DictInfo info = Info();
    EXPECT_EQ(info.entryCount, 5001);
    EXPECT_EQ(info.name, (dir_ / "over.dic").string());
    EXPECT_EQ(Entry("w105000"), "x");
}

TEST_F(DictTest, AFailedLoadLeavesNoDictionary) {
    ASSERT_EQ(TTS_DictAdd("casa", "k"), FV_OK);
    EXPECT_EQ(TTS_DictLoad((dir_ / "missing.dic").c_str()), FV_OPEN_ERROR);
    EXPECT_EQ(Info().entryCount, 0);
    EXPECT_EQ(Info().name, "");
    EXPECT_EQ(TTS_DictUnload(), FV_INVALID_COMMAND);

    // A directory opens but cannot be read: the read error is reported.
    ASSERT_EQ(TTS_DictAdd("casa", "k"), FV_OK);
    EXPECT_EQ(TTS_DictLoad(dir_.c_str()), FV_OPEN_ERROR);
    EXPECT_EQ(Info().entryCount, 0);
    EXPECT_EQ(Info().name, "");
}

TEST_F(DictTest, SaveReplacesTheFileAndLeavesNoTemporaryFile) {
    std::string path = Write("d.dic", "old\tcontents\r\n");
    ASSERT_EQ(TTS_DictAdd("casa", "-k`a-za"), FV_OK);
    ASSERT_EQ(TTS_DictSave(path.c_str()), FV_OK);
    EXPECT_EQ(Slurp(path), "casa\t-k`a-za\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

// A failed save leaves the previous file, the name and the modified flag.
TEST_F(DictTest, ASaveIntoAMissingFolderFails) {
    std::string first = (dir_ / "first.dic").string();
    ASSERT_EQ(TTS_DictAdd("casa", "k"), FV_OK);
    ASSERT_EQ(TTS_DictSave(first.c_str()), FV_OK);
    ASSERT_EQ(TTS_DictAdd("mesa", "m"), FV_OK);

    EXPECT_EQ(TTS_DictSave((dir_ / "no" / "such.dic").c_str()), FV_WRITE_ERROR);
    DictInfo info = Info();
    EXPECT_EQ(info.name, first);
    EXPECT_EQ(info.modified, 1);
    EXPECT_EQ(info.entryCount, 2);
}

TEST_F(DictTest, ASaveThatFailsPartWayKeepsThePreviousFile) {
    const std::string previous = "casa\t-k`a-za\r\n";
    std::string path = Write("d.dic", previous);
    ASSERT_EQ(TTS_DictLoad(path.c_str()), FV_OK);
    for (int i = 0; i < 2000; ++i)
        ASSERT_EQ(TTS_DictAdd(("palavra" + std::to_string(10000 + i)).c_str(), "-pa-l`a-vra"), FV_OK);

    // Files may not grow past 4 KB for the length of the save.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    int result = TTS_DictSave(path.c_str());
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(result, FV_WRITE_ERROR);
    EXPECT_EQ(Slurp(path), previous);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
    DictInfo info = Info();
    EXPECT_EQ(info.name, path);
    EXPECT_EQ(info.modified, 1);

    // Another name fails the same way and does not become the name either.
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    std::signal(SIGXFSZ, SIG_IGN);
    result = TTS_DictSave((dir_ / "other.dic").c_str());
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(result, FV_WRITE_ERROR);
    EXPECT_EQ(Info().name, path);
    EXPECT_FALSE(fs::exists(dir_ / "other.dic"));
}

TEST_F(DictTest, HostBuffersAreNeverOverrun) {
    const std::string longest(FV_DICT_TRANSCRIPTION_SIZE - 1, 'a');
    EXPECT_EQ(TTS_DictAdd("longa", longest.c_str()), FV_OK);
    EXPECT_EQ(TTS_DictAdd("longer", (longest + "a").c_str()), FV_INVALID_VALUE);
    EXPECT_EQ(TTS_DictUpdate("longa", (longest + "a").c_str()), FV_INVALID_VALUE);
    EXPECT_EQ(Entry("longa"), longest);

    // A file may hold longer lines: the copy is cut to the buffer.
    const std::string tooLong(1000, 'b');
    std::string path = Write("long.dic", "longa\t" + tooLong + "\r\n");
    ASSERT_EQ(TTS_DictLoad(path.c_str()), FV_OK);
    char buffer[FV_DICT_TRANSCRIPTION_SIZE + 1];
    std::memset(buffer, '#', sizeof buffer);
    ASSERT_EQ(TTS_DictGetEntry("longa", buffer), FV_OK);
    EXPECT_EQ(std::string(buffer), tooLong.substr(0, FV_DICT_TRANSCRIPTION_SIZE - 1));
    EXPECT_EQ(buffer[FV_DICT_TRANSCRIPTION_SIZE], '#');

    // And a long file name is cut in the name buffer.
    fs::path folder = dir_ / std::string(200, 'd');
    fs::create_directories(folder);
    std::string longName = (folder / (std::string(100, 'n') + ".dic")).string();
    ASSERT_EQ(TTS_DictSave(longName.c_str()), FV_OK);
    char name[FV_DICT_NAME_SIZE + 1];
    std::memset(name, '#', sizeof name);
    ASSERT_EQ(TTS_DictGetInfo(name, nullptr, nullptr), FV_OK);
    EXPECT_EQ(std::string(name), longName.substr(0, FV_DICT_NAME_SIZE - 1));
    EXPECT_EQ(name[FV_DICT_NAME_SIZE], '#');
}

TEST_F(DictTest, NullPointersAreEmptyTextsOrNowhereToWrite) {
    EXPECT_EQ(TTS_DictAdd(nullptr, nullptr), FV_OK);  // an empty word
    EXPECT_EQ(TTS_DictAdd("", "x"), FV_WORD_EXISTS);
    EXPECT_EQ(TTS_DictGetEntry("", nullptr), FV_OK);
    EXPECT_EQ(TTS_DictGetInfo(nullptr, nullptr, nullptr), FV_OK);
    EXPECT_EQ(TTS_DictLoad(nullptr), FV_OPEN_ERROR);
}

TEST_F(DictTest, EveryCallNeedsAnInitialisedEngine) {
    Engine.initialised = false;
    char buffer[FV_DICT_NAME_SIZE];
    int16_t count = 0, modified = 0;
    EXPECT_EQ(TTS_DictLoad("x"), FV_NOT_INITIALISED);
    EXPECT_EQ(TTS_DictSave("x"), FV_NOT_INITIALISED);
    EXPECT_EQ(TTS_DictAdd("x", "y"), FV_NOT_INITIALISED);
    EXPECT_EQ(TTS_DictUpdate("x", "y"), FV_NOT_INITIALISED);
    EXPECT_EQ(TTS_DictDelete("x"), FV_NOT_INITIALISED);
    EXPECT_EQ(TTS_DictGetEntry("x", buffer), FV_NOT_INITIALISED);
    EXPECT_EQ(TTS_DictGetInfo(buffer, &count, &modified), FV_NOT_INITIALISED);
    EXPECT_EQ(TTS_DictUnload(), FV_NOT_INITIALISED);
}

TEST_F(DictTest, TheWordLookupAsksTheDictionaryBeforeTheLexicon) {
    std::string lng = Write("t.lng", "casa\tE\t -k'a-za\t0\t2\tS\t\r\nmesa\tE\t -m'e-za\t0\t0\t \t\r\n");
    ASSERT_EQ(LoadLanguageData(lng), 0);
    ASSERT_EQ(TTS_DictAdd("Casa", "-k`a-sa"), FV_OK);
    Tokens[0] = TIPO_TOKEN{};
    Tokens[0].person = 3;

    std::string phonetic;
    WordLookup("CASA", 0, phonetic);  // the lookup lowers the word
    EXPECT_EQ(phonetic, "-k`a-sa");
    EXPECT_EQ(Tokens[0].tag, "-");
    EXPECT_EQ(Tokens[0].subclass, " ");
    EXPECT_EQ(Tokens[0].vowelClass, 0);
    EXPECT_EQ(Tokens[0].person, 0);

    WordLookup("mesa", 0, phonetic);
    EXPECT_EQ(phonetic, " -m'e-za");
    EXPECT_EQ(Tokens[0].tag, "E");
}

// ---------------------------------------------------------------------------
// What a save may and may not do to the file a name points at.

TEST_F(DictTest, SavingThroughASymbolicLinkUpdatesItsTarget) {
    const std::string previous = "old\tcontents\r\n";
    fs::create_directories(dir_ / "real");
    std::string real = Write("real/d.dic", previous);
    fs::create_symlink("real/d.dic", dir_ / "relative.dic");
    fs::create_symlink(dir_ / "relative.dic", dir_ / "chained.dic");  // a link to a link
    ASSERT_EQ(TTS_DictAdd("casa", "-k`a-za"), FV_OK);

    ASSERT_EQ(TTS_DictSave((dir_ / "chained.dic").c_str()), FV_OK);
    EXPECT_TRUE(fs::is_symlink(dir_ / "chained.dic"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "relative.dic"));
    EXPECT_EQ(Slurp(real), "casa\t-k`a-za\r\n");
    EXPECT_EQ(Info().name, (dir_ / "chained.dic").string()) << "the name is the one the caller gave";
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "real"), fs::directory_iterator()), 1);

    // A link to a file not there yet creates the file where it points.
    fs::create_symlink("real/new.dic", dir_ / "dangling.dic");
    ASSERT_EQ(TTS_DictSave((dir_ / "dangling.dic").c_str()), FV_OK);
    EXPECT_TRUE(fs::is_symlink(dir_ / "dangling.dic"));
    EXPECT_EQ(Slurp(dir_ / "real" / "new.dic"), "casa\t-k`a-za\r\n");
}

TEST_F(DictTest, FoldersFifosAndDevicesAreRefusedAndLeftAsTheyAre) {
    ASSERT_EQ(TTS_DictAdd("casa", "k"), FV_OK);
    fs::create_directories(dir_ / "folder");
    EXPECT_EQ(TTS_DictSave((dir_ / "folder").c_str()), FV_WRITE_ERROR);
    EXPECT_TRUE(fs::is_directory(dir_ / "folder"));

    ASSERT_EQ(mkfifo((dir_ / "fifo").c_str(), 0644), 0);
    EXPECT_EQ(TTS_DictSave((dir_ / "fifo").c_str()), FV_WRITE_ERROR);
    EXPECT_TRUE(fs::is_fifo(dir_ / "fifo"));

    // A link to the FIFO is refused the same way.
    fs::create_symlink("fifo", dir_ / "to-fifo");
    EXPECT_EQ(TTS_DictSave((dir_ / "to-fifo").c_str()), FV_WRITE_ERROR);
    EXPECT_TRUE(fs::is_fifo(dir_ / "fifo"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "to-fifo"));

    // A null device of the test's own, where making one is allowed.
    fs::path device = dir_ / "null";
    bool madeDevice = mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    if (madeDevice) {
        EXPECT_EQ(TTS_DictSave(device.c_str()), FV_WRITE_ERROR);
        EXPECT_TRUE(fs::is_character_file(device));
    }
    EXPECT_EQ(Info().modified, 1);
    EXPECT_EQ(FilesInFolder(), madeDevice ? 4 : 3) << "no temporary file is left";
}

// Saving over a read-only file is refused, even for root: the owner made it
// read-only, and the save does not undo that behind their back.
TEST_F(DictTest, AReadOnlyFileIsRefusedAndStaysReadOnly) {
    const std::string previous = "old\tcontents\r\n";
    std::string path = Write("ro.dic", previous);
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    ASSERT_EQ(TTS_DictAdd("casa", "k"), FV_OK);

    EXPECT_EQ(TTS_DictSave(path.c_str()), FV_WRITE_ERROR);
    EXPECT_EQ(Slurp(path), previous);
    EXPECT_EQ(ModeOf(path) & 0777, 0444u);
    EXPECT_EQ(FilesInFolder(), 1);
}

TEST_F(DictTest, TheNewFileHasTheOldFilesRightsOrTheDefaultOnes) {
    ScopedUmask mask(002);
    ASSERT_EQ(TTS_DictAdd("casa", "k"), FV_OK);

    std::string fresh = (dir_ / "fresh.dic").string();
    ASSERT_EQ(TTS_DictSave(fresh.c_str()), FV_OK);
    EXPECT_EQ(ModeOf(fresh) & 0777, 0644u) << "0644 less the umask, not 0666 less it";

    std::string own = Write("own.dic", "old\tcontents\r\n");
    fs::permissions(own, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_EQ(TTS_DictSave(own.c_str()), FV_OK);
    EXPECT_EQ(ModeOf(own) & 0777, 0640u);
    EXPECT_EQ(Slurp(own), "casa\tk\r\n");
}

TEST_F(DictTest, ASaveUnderWayBlocksAnotherAndAStaleTemporaryIsCleared) {
    const std::string previous = "old\tcontents\r\n";
    std::string path = Write("d.dic", previous);
    std::string temporary = TemporaryNameFor(path);
    ASSERT_EQ(TTS_DictAdd("casa", "k"), FV_OK);

    // Another save holds the temporary file: this one fails and touches neither.
    int held = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    ASSERT_GE(held, 0);
    ASSERT_EQ(write(held, "partial", 7), 7);
    ASSERT_EQ(flock(held, LOCK_EX), 0);
    EXPECT_EQ(TTS_DictSave(path.c_str()), FV_WRITE_ERROR);
    EXPECT_EQ(Slurp(path), previous);
    EXPECT_EQ(Slurp(temporary), "partial");
    EXPECT_EQ(FilesInFolder(), 2);

    // Once that save is gone its file is stale: the next save replaces it,
    // and the folder holds the dictionary alone, whatever the number of saves.
    close(held);
    for (int k = 0; k < 3; ++k) ASSERT_EQ(TTS_DictSave(path.c_str()), FV_OK);
    EXPECT_EQ(Slurp(path), "casa\tk\r\n");
    EXPECT_EQ(FilesInFolder(), 1);

    // A link put in the temporary's place is never written through.
    std::string victim = Write("victim", "untouched");
    fs::create_symlink("victim", temporary);
    EXPECT_EQ(TTS_DictSave(path.c_str()), FV_WRITE_ERROR);
    EXPECT_EQ(Slurp(victim), "untouched");
}

TEST_F(DictTest, KillingSavesMidwayKeepsAWholeFileAndLeavesNoTemporary) {
    std::string oldEntries, newEntries;
    for (int i = 0; i < 300; ++i) oldEntries += "velha" + std::to_string(1000 + i) + "\t-v`E-ka\r\n";
    for (int i = 0; i < 4000; ++i) newEntries += "nova" + std::to_string(1000 + i) + "\t-n`O-va\r\n";
    std::string oldCopy = Write("old.ref", oldEntries);
    std::string newCopy = Write("new.ref", newEntries);
    fs::create_directories(dir_ / "saves");
    std::string path = (dir_ / "saves" / "d.dic").string();
    std::string temporary = TemporaryNameFor(path);

    int killedMidway = 0;
    for (int round = 0; round < 100; ++round) {
        SCOPED_TRACE(round);
        ASSERT_EQ(TTS_DictLoad(oldCopy.c_str()), FV_OK);
        ASSERT_EQ(TTS_DictSave(path.c_str()), FV_OK);
        EXPECT_FALSE(fs::exists(temporary)) << "left after a successful save";

        ASSERT_EQ(TTS_DictLoad(newCopy.c_str()), FV_OK);
        ASSERT_TRUE(KillMidway([&] { DictSave(path); }, round));
        if (fs::exists(temporary)) ++killedMidway;

        std::string contents = Slurp(path);
        ASSERT_TRUE(contents == oldEntries || contents == newEntries) << "a file cut short";
        ASSERT_EQ(TTS_DictLoad(path.c_str()), FV_OK);
        EXPECT_EQ(Info().entryCount, contents == oldEntries ? 300 : 4000);
    }
    ASSERT_EQ(TTS_DictSave(path.c_str()), FV_OK);
    EXPECT_FALSE(fs::exists(temporary));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "saves"), fs::directory_iterator()), 1);
    EXPECT_GT(killedMidway, 0) << "no kill landed in the middle of a save";
}

// ---------------------------------------------------------------------------
// A save must give back on loading exactly what was added.

TEST_F(DictTest, AnUpdateTheFileCouldNotGiveBackIsRefused) {
    ASSERT_EQ(TTS_DictAdd("mesa", "m"), FV_OK);
    for (const char* transcription : {"-m`e\r-za", "-m`e\n-za", "-m`e-za\r\n"})
        EXPECT_EQ(TTS_DictUpdate("mesa", transcription), FV_INVALID_VALUE)
            << ::testing::PrintToString(transcription);
    EXPECT_EQ(Entry("mesa"), "m");
}

TEST_F(DictTest, AnEntryLongerThanAFileLineIsRefused) {
    // The longest entry a file gives back is kLongestDataLine bytes, TAB
    // included; a word one byte longer would save a file that no longer loads.
    const std::string transcription = "-k`a";
    const std::string longest(kLongestDataLine - 1 - transcription.size(), 'a');
    ASSERT_EQ(TTS_DictAdd(longest.c_str(), transcription.c_str()), FV_OK);
    EXPECT_EQ(TTS_DictAdd(("b" + longest).c_str(), transcription.c_str()), FV_INVALID_VALUE);
    EXPECT_EQ(TTS_DictUpdate(longest.c_str(), (transcription + "a").c_str()), FV_INVALID_VALUE);
    EXPECT_EQ(Entry(longest), transcription);

    const std::string path = (dir_ / "long.dic").string();
    ASSERT_EQ(TTS_DictSave(path.c_str()), FV_OK);
    ASSERT_EQ(TTS_DictLoad(path.c_str()), FV_OK);
    EXPECT_EQ(Info().entryCount, 1);
    EXPECT_EQ(Entry(longest), transcription);
}

TEST_F(DictTest, AddSaveClearLoadGivesTheSameEntries) {
    struct Candidate {
        const char* word;
        const char* transcription;
    };
    // Those the table takes must come back; the others must be refused.
    const Candidate candidates[] = {
        {"casa", "-k`a-za"},   {"*nota", "x"},        {"a*b", "-a-b`e"},     {"ca\tsa", "k"},
        {"mesa", "-m`e\t-za"}, {"linha", "-l`i\r\n"}, {"\xE9gua", "`E-gwa"}, {"vazia", ""},
        {"", "-n`a-da"},       {"zebra\n", "z"},      {"zz", "-z`e-z`e"},
    };
    std::vector<std::pair<std::string, std::string>> accepted;
    for (const Candidate& c : candidates)
        if (TTS_DictAdd(c.word, c.transcription) == FV_OK) accepted.emplace_back(c.word, c.transcription);
    ASSERT_EQ(accepted.size(), 7u);

    std::string path = (dir_ / "round.dic").string();
    ASSERT_EQ(TTS_DictSave(path.c_str()), FV_OK);
    DictClear();
    ASSERT_EQ(TTS_DictLoad(path.c_str()), FV_OK);
    EXPECT_EQ(Info().entryCount, static_cast<int16_t>(accepted.size()));
    for (const auto& [word, transcription] : accepted)
        EXPECT_EQ(Entry(word), transcription) << ::testing::PrintToString(word);

    // And a second save writes the very same file.
    std::string again = (dir_ / "again.dic").string();
    ASSERT_EQ(TTS_DictSave(again.c_str()), FV_OK);
    EXPECT_EQ(Slurp(again), Slurp(path));
}

}  // namespace
