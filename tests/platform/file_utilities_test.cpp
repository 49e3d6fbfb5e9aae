#include "ui/file_utilities.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/posix_files.hpp"
#include "support/fakes.hpp"
#include "support/memory_files.hpp"
#include "ui/lang_text.hpp"

namespace orv::test {
namespace {

namespace fs = std::filesystem;

// File utilities on a fresh temporary folder.
struct FilesFixture : testing::Test {
    fs::path dir = fs::temp_directory_path() / ("orvandel-files-" + std::to_string(::getpid()) + "-" +
                                                testing::UnitTest::GetInstance()->current_test_info()->name());
    PosixFiles files{dir.string()};
    RecordingView view;
    std::uint8_t language = kEnglish;
    FileUtilities utilities{files, view, language};

    FilesFixture() { fs::create_directories(dir); }
    ~FilesFixture() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    std::string path(const char* name) const { return (dir / name).string(); }
    static std::string slurp(const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
};

TEST_F(FilesFixture, WriteThenReadGivesTheBytesBackWithoutTouchingLineEnds) {
    const std::string text = "line 1\r\nline 2\n\xE9t\xE9";
    EXPECT_FALSE(utilities.writeTextFile(path("a.txt"), text));
    const auto read = utilities.readTextFile(path("a.txt"));
    EXPECT_FALSE(read.failed);
    EXPECT_EQ(read.text, text);
    EXPECT_EQ(read.bytesRead, text.size());
    EXPECT_TRUE(view.boxes.empty());
}

TEST_F(FilesFixture, WritingStopsAtTheFirstZeroByte) {
    EXPECT_FALSE(utilities.writeTextFile(path("z.txt"), std::string("abc\0def", 7)));
    EXPECT_EQ(slurp(path("z.txt")), "abc");
}

TEST_F(FilesFixture, ReadingStopsAt65500BytesAndCutsAtAZeroByte) {
    std::ofstream(path("big.txt"), std::ios::binary) << std::string(70000, 'x');
    const auto big = utilities.readTextFile(path("big.txt"));
    EXPECT_FALSE(big.failed);
    EXPECT_EQ(big.text.size(), 65500u);
    EXPECT_EQ(big.bytesRead, 65500u);

    std::ofstream(path("zero.txt"), std::ios::binary) << std::string("ab\0cd", 5);
    const auto zero = utilities.readTextFile(path("zero.txt"));
    EXPECT_EQ(zero.text, "ab");
    EXPECT_EQ(zero.bytesRead, 5u);
}

TEST_F(FilesFixture, AReadOnlyFileIsMadeWritableAndReplaced) {
    std::ofstream(path("ro.txt")) << "old";
    ::chmod(path("ro.txt").c_str(), 0444);
    EXPECT_FALSE(utilities.writeTextFile(path("ro.txt"), "new"));
    EXPECT_EQ(slurp(path("ro.txt")), "new");
    struct stat info {};
    ::stat(path("ro.txt").c_str(), &info);
    EXPECT_TRUE(info.st_mode & S_IWUSR);
}

TEST_F(FilesFixture, LinksInTheFolderAreNeverWrittenThroughNorChanged) {
    // A link planted where a fixed temporary name would be, and the file itself a link to
    // a read-only file elsewhere: neither target changes, the settings file becomes ours.
    const fs::path outside = dir / "outside";
    fs::create_directories(outside);
    std::ofstream(outside / "victim") << "keep";
    std::ofstream(outside / "readonly") << "mine";
    ::chmod((outside / "readonly").c_str(), 0444);
    fs::create_symlink(outside / "victim", path("CONFORVL.SER.new"));
    fs::create_symlink(outside / "readonly", path("CONFORVL.SER"));
    EXPECT_FALSE(utilities.writeTextFile(path("CONFORVL.SER"), "settings"));
    EXPECT_EQ(slurp((outside / "victim").string()), "keep");
    EXPECT_EQ(slurp((outside / "readonly").string()), "mine");
    struct stat info {};
    ::stat((outside / "readonly").c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0444u);
    EXPECT_FALSE(fs::is_symlink(path("CONFORVL.SER")));
    EXPECT_EQ(slurp(path("CONFORVL.SER")), "settings");
    // Nothing but the file, the planted link and the folder is left behind.
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) ++entries;
    EXPECT_EQ(entries, 3);
}

TEST_F(FilesFixture, TwoProcessesSavingAtOnceBothSucceedAndAReaderNeverSeesAPartFile) {
    const std::string target = path("CONFORVL.SER");
    const std::string record(35, '\x02');
    std::ofstream(target, std::ios::binary) << record;
    // Each process saves 200 times; the parent reads the file back after each save.
    int shortReads = 0;
    const auto saveMany = [&](bool read) {
        PosixFiles files(dir.string());
        RecordingView quiet;
        std::uint8_t english = kEnglish;
        FileUtilities own(files, quiet, english);
        int failures = 0;
        for (int k = 0; k < 200; ++k) {
            failures += own.writeTextFile(target, record) ? 1 : 0;
            if (read) shortReads += slurp(target).size() == 35 ? 0 : 1;
        }
        return failures;
    };
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) ::_exit(saveMany(false) == 0 ? 0 : 1);
    const int failures = saveMany(true);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_EQ(failures, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(shortReads, 0);
    EXPECT_EQ(slurp(target), record);
}

TEST_F(FilesFixture, UnwritableFolderAndMissingFileAreReportedInBothLanguages) {
    std::ofstream(path("plain")) << "";
    const std::string unwritable = path("plain") + "/x.txt";  // a file is no folder, even for root
    EXPECT_TRUE(utilities.writeTextFile(unwritable, "x"));
    language = kFrench;
    EXPECT_TRUE(utilities.readTextFile(path("missing.txt")).failed);
    ASSERT_EQ(view.boxes.size(), 2u);
    EXPECT_EQ(view.boxes[0].icon, BoxIcon::Error);
    EXPECT_EQ(view.boxes[0].text, "Impossible to open the file " + unwritable + " in writing mode. (Not a directory)");
    EXPECT_EQ(view.boxes[1].text, "Impossible d'ouvrir le fichier " + path("missing.txt") + " en lecture. (No such file or directory)");
}

TEST_F(FilesFixture, AReadFailureIsReported) {
    fs::create_directories(dir / "folder");
    const auto result = utilities.readTextFile(path("folder"));
    EXPECT_TRUE(result.failed);
    ASSERT_EQ(view.boxes.size(), 1u);
    EXPECT_EQ(view.boxes[0].text, "Error when reading the file " + path("folder") + ".");
}

TEST(FileUtilities, AShortWriteIsAFullDiskAndReportsFailure) {
    MemoryFiles files;
    files.failWriteAfter = 2;
    RecordingView view;
    std::uint8_t language = kEnglish;
    FileUtilities utilities(files, view, language);
    EXPECT_TRUE(utilities.writeTextFile("/settings/f", "abcdef"));
    ASSERT_EQ(view.boxes.size(), 1u);
    EXPECT_EQ(view.boxes[0].text, "Impossible text record. Full hard disk? ");
    EXPECT_TRUE(utilities.appendToOpenFile("abc").end);
}

TEST(SettingsFolder, CreatedWhenMissingAndRefusedWhenItCannotBe) {
    const fs::path base = fs::temp_directory_path() / ("orvandel-dir-" + std::to_string(::getpid()));
    std::string error;
    EXPECT_EQ(PosixFiles::prepareDirectory((base / "a" / "b").string(), error), (base / "a" / "b").string());
    EXPECT_TRUE(fs::is_directory(base / "a" / "b"));
    std::ofstream((base / "file").string()) << "";
    EXPECT_EQ(PosixFiles::prepareDirectory((base / "file" / "c").string(), error), "");
    EXPECT_FALSE(error.empty());
    fs::remove_all(base);
}

}  // namespace
}  // namespace orv::test
