// Whole text files as raw bytes: what a read takes and refuses, and that a
// failed write leaves the old file as it was.
#include "console/queues/textfile.h"
#include "tests/support/files.h"
#include "tests/support/unprivileged.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>

using Status = textfile::ReadResult::Status;

namespace {

class TextFileTest : public ::testing::Test {
public:
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir;
};

} // namespace

TEST_F(TextFileTest, ReadTakesTheBytesUpToTheFirstNulAndUpToTheLimit) {
    struct Case {
        const char* name;
        std::string bytes;
        Status status;
        std::string text;
    };
    const std::string limit(textfile::ReadLimit, 'a');
    const Case cases[] = {
        {"line ends and bytes that are not GBK", "a\r\nb\nc\rd\xFF\x80\x81\r\n", Status::Ok,
         "a\r\nb\nc\rd\xFF\x80\x81\r\n"},
        {"empty", "", Status::Ok, ""},
        {"a NUL ends the text", std::string("ab\0cd", 5), Status::Ok, "ab"},
        {"262143 bytes fit", limit, Status::Ok, limit},
        {"262144 bytes do not", limit + "b", Status::TooLarge, ""},
    };
    for (const Case& c : cases) {
        testsupport::putFile(path("t.txt"), c.bytes);
        const textfile::ReadResult r = textfile::read(path("t.txt"));
        EXPECT_EQ(r.status, c.status) << c.name;
        EXPECT_EQ(r.text, c.text) << c.name;
    }
}

TEST_F(TextFileTest, ReadReportsWhyItFailed) {
    const textfile::ReadResult missing = textfile::read(path("missing.txt"));
    EXPECT_EQ(missing.status, Status::CannotOpen);
    EXPECT_EQ(missing.error, ENOENT);
    const textfile::ReadResult folder = textfile::read(dir.path());
    EXPECT_EQ(folder.status, Status::ReadFailed);
    EXPECT_EQ(folder.error, EISDIR);
}

TEST_F(TextFileTest, WriteGivesBackTheSameBytes) {
    const std::string bytes = "a\r\nb\nc\r\xFF\xD6\xD0";
    ASSERT_EQ(textfile::write(path("w.txt"), bytes), 0);
    EXPECT_EQ(testsupport::fileBytes(path("w.txt")), bytes);
    ASSERT_EQ(textfile::write(path("w.txt"), ""), 0); // an empty area, an empty file
    EXPECT_EQ(testsupport::fileBytes(path("w.txt")), "");
    EXPECT_EQ(textfile::write(path("no/such/folder.txt"), bytes), ENOENT);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("w.txt")});
}

TEST_F(TextFileTest, AFailedWriteLeavesTheOldFileWhole) {
    // A writable file in a folder that takes no new file: the write does
    // not cut the old file short halfway, it fails and says why.
    testsupport::putFile(path("old.txt"), "old text");
    const auto all = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther |
                     QFileDevice::WriteOther;
    ASSERT_TRUE(QFile::setPermissions(path("old.txt"), all));
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                                      QFileDevice::ReadOther |
                                                      QFileDevice::ExeOther));
    const QString target = path("old.txt");
    const auto result = testsupport::runUnprivileged(
        [&] { return std::to_string(textfile::write(target, "new text")); });
    QFile::setPermissions(dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(*result, std::to_string(EACCES));
    EXPECT_EQ(testsupport::fileBytes(target), "old text");
}
