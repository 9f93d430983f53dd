// Files in a shared folder: what stands where a file is read or written may be a pipe, a device,
// a folder, a link or another user's file; names may be as long as the system allows; a mapped
// data file may be cut short while it is open. Real files in a temporary folder.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "core/io/atomic_file.h"
#include "core/io/files.h"
#include "core/io/mapped_file.h"
#include "core/session/project_lock.h"
#include "core/text/interface_texts.h"
#include "project_fixture.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileText;
using testing::TempFolder;
using testing::WriteFile;

// The message of the IoError that `f` throws, or "" when it throws none.
template <class F>
std::string Fault(F f) {
    try {
        f();
    } catch (const IoError& e) {
        return e.what();
    }
    return "";
}

mode_t Mode(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

// A pipe, a device, a folder or a file beyond the limit is refused before anything is read, so
// nothing blocks and nothing fills the memory.
TEST(SafeFiles, InputsThatAreNoFilesAreRefusedBeforeReading) {
    TempFolder folder;
    const std::string fifo = folder.Path("wave.dat");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string notAFile = std::string(": ") + msg::kNotAFile;
    EXPECT_EQ(Fault([&] { ReadWholeFile(fifo); }), fifo + notAFile);
    EXPECT_EQ(Fault([&] { FileBytes bytes(fifo); }), fifo + notAFile);
    EXPECT_EQ(Fault([&] { ReadWholeFile("/dev/zero"); }), "/dev/zero" + notAFile);
    EXPECT_EQ(Fault([&] { FileBytes bytes("/dev/zero"); }), "/dev/zero" + notAFile);
    EXPECT_EQ(Fault([&] { FileBytes bytes(folder.Path()); }), IoErrorText(folder.Path(), EISDIR));

    // A sparse file that claims more than the limit.
    const std::string huge = folder.Path("huge.dat");
    WriteFile(huge, "x");
    fs::resize_file(huge, ReadLimit() + 1);
    const std::string tooLarge = huge + ": " + msg::FileTooLarge(ReadLimit());
    EXPECT_EQ(Fault([&] { ReadWholeFile(huge); }), tooLarge);
    EXPECT_EQ(Fault([&] { FileBytes bytes(huge); }), tooLarge);
}

// A link in place of a file the program writes and reads back is neither followed nor replaced,
// and a file of another user is neither read nor replaced; what they point to stays as it was.
TEST(SafeFiles, LinksAndOtherUsersFilesAreNotFollowedNorReplaced) {
    TempFolder folder;
    const std::string secret = folder.Path("secret");
    WriteFile(secret, "not for the coder");
    const std::string zda = folder.Path("wave.zda");
    fs::create_symlink(secret, zda);
    const std::string link = zda + ": " + msg::kIsALink;
    EXPECT_EQ(Fault([&] { ReadOwnFile(zda); }), link);
    EXPECT_EQ(Fault([&] { WriteFileAtomic(zda, "codes"); }), link);
    EXPECT_TRUE(PathTaken(zda));
    fs::remove(secret);  // a dangling link is refused alike
    EXPECT_EQ(Fault([&] { WriteFileAtomic(zda, "codes"); }), link);
    EXPECT_TRUE(fs::is_symlink(zda));
    EXPECT_EQ(fs::directory_iterator(folder.Path())->path().filename(), "wave.zda");

    if (::geteuid() != 0) return;  // only root can hand a file to another user
    const std::string asc = folder.Path("wave.asc");
    WriteFile(asc, "planted");
    ASSERT_EQ(::chown(asc.c_str(), 65534, 65534), 0);
    const std::string other = asc + ": " + msg::OtherOwner("nobody");
    EXPECT_EQ(Fault([&] { ReadOwnFile(asc); }), other);
    EXPECT_EQ(Fault([&] { WriteFileAtomic(asc, "output"); }), other);
    EXPECT_EQ(ReadFileText(asc), "planted");
}

// New files take the umask; a replaced file keeps no special bit and nothing the umask forbids.
// A name as long as the system allows still gets a temporary name that fits.
TEST(SafeFiles, ModesFollowTheUmaskAndLongNamesCanBeSaved) {
    TempFolder folder;
    const mode_t saved = ::umask(077);
    const std::string fresh = folder.Path("fresh.zda");
    WriteFileAtomic(fresh, "a");
    EXPECT_EQ(Mode(fresh), 0600u);

    ::umask(022);
    const std::string planted = folder.Path("planted.zda");
    WriteFile(planted, "b");
    fs::permissions(planted, static_cast<fs::perms>(06777));
    WriteFileAtomic(planted, "c");
    EXPECT_EQ(Mode(planted), 0644u);
    fs::permissions(planted, static_cast<fs::perms>(0640));
    WriteFileAtomic(planted, "d");
    EXPECT_EQ(Mode(planted), 0640u);
    ::umask(saved);

    const std::string longest = folder.Path(std::string(251, 'w') + ".zda");
    WriteFileAtomic(longest, "codes");
    EXPECT_EQ(ReadFileText(longest), "codes");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 3);
    const std::string stem = TemporaryNameStem(longest, 255);
    EXPECT_EQ(stem.size() - folder.Path().size() + 6, 255u);
}

// A data file whose stem is as long as the side files allow: the lock is taken (its own
// temporary name is cut to fit) and given back.
TEST(SafeFiles, AProjectWithALongDataFileNameOpens) {
    TempFolder folder;
    const std::string lockPath = folder.Path(std::string(244, 'w') + ".zlk");
    auto lock = ProjectLock::TryTake(lockPath);
    ASSERT_NE(lock, nullptr);
    EXPECT_TRUE(fs::exists(lockPath));
    lock.reset();
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 0);
}

// A pipe planted at the lock's temporary name (it is predictable: the process number) neither
// holds the opening for ever nor stops it: the lock is written under the next name.
TEST(SafeFiles, APipeAtTheLocksTemporaryNameIsPassedBy) {
    TempFolder folder;
    const std::string lockPath = folder.Path("wave.zlk");
    const std::string planted = folder.Path(".wave.zlk." + std::to_string(::getpid()) + ".tmp");
    ASSERT_EQ(::mkfifo(planted.c_str(), 0600), 0);
    auto lock = ProjectLock::TryTake(lockPath);
    ASSERT_NE(lock, nullptr);
    EXPECT_TRUE(fs::exists(lockPath));
    lock.reset();
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 1);
}

// A mapped data file cut short by another program: the lost bytes read as NULs, the program
// goes on, and the mapping says it was cut.
// A large piece after small ones (a .zsav's header, then its first compressed block) lands
// after them, not ahead of what waits in the buffer.
TEST(SafeFiles, AnAtomicFileKeepsTheOrderOfSmallAndLargeWrites) {
    TempFolder folder;
    const std::string path = folder.Path("out.zsav");
    const std::string large(700 * 1024, 'x');
    {
        AtomicFile file(path);
        file.Write("head");
        file.Write(large);
        file.Write("tail");
        file.Commit();
    }
    EXPECT_EQ(ReadFileText(path), "head" + large + "tail");
}

TEST(SafeFiles, AMappedFileCutShortReadsAsZerosInsteadOfCrashing) {
    TempFolder folder;
    const std::string path = folder.Path("wave.dat");
    const std::string text(3 * 65536, 'r');
    WriteFile(path, text);
    FileBytes bytes(path);
    ASSERT_EQ(bytes.View(), text);
    EXPECT_FALSE(bytes.WasCut());
    fs::resize_file(path, 100);
    bytes.Passed(0, text.size());  // the pages must come from the file again
    EXPECT_EQ(bytes.View().substr(0, 100), text.substr(0, 100));
    EXPECT_EQ(bytes.View().back(), '\0');
    EXPECT_TRUE(bytes.WasCut());
}

}  // namespace
}  // namespace tarnwick
