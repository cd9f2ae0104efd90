#include "console/settings/inifile.h"
#include "tests/support/unprivileged.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <random>
#include <sstream>

using namespace std::string_literals;

namespace {

class IniFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::string path = (dir.path() + QStringLiteral("/settings.ini")).toStdString();

    void put(const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
    // Rewrites the file's bytes without replacing the file (same inode).
    void overwrite(const std::string& bytes) {
        std::fstream(path, std::ios::binary | std::ios::in | std::ios::out) << bytes;
    }
    // Waits until the file's stamp can be trusted, as that of a file saved a
    // while ago can.
    void settle() const {
        while (!platform::fileStamp(path)->settledAt(platform::wallClockNs()))
            QThread::msleep(10);
    }
    std::string disk() const {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    IniFile store() const {
        IniFile ini;
        ini.setFileName(path);
        return ini;
    }
};

} // namespace

TEST_F(IniFileTest, NewStoreUsesConfigIni) {
    EXPECT_EQ(IniFile().fileName(), "config.ini");
}

TEST_F(IniFileTest, ValueEndingInLineFeedIsWrittenWithAnEmptyLine) {
    IniFile ini = store();
    ini.setString("connect", "control", "NONE\n");
    ASSERT_TRUE(ini.writeFile());
    EXPECT_EQ(disk(), "[connect]=_=\r\ncontrol=_=NONE\r\n\r\n");
    EXPECT_EQ(store().getString("connect", "control", "x"), "NONE\n");
}

TEST_F(IniFileTest, CrLfInAValueIsWrittenAsCrCrLf) {
    IniFile ini = store();
    ini.setString("strings", "send", "line one\r\nline two");
    ASSERT_TRUE(ini.writeFile());
    EXPECT_EQ(disk(), "[strings]=_=\r\nsend=_=line one\r\r\nline two\r\n");
    EXPECT_EQ(store().getString("strings", "send", ""), "line one\r\nline two");
}

TEST_F(IniFileTest, SmallGoldenFile) {
    IniFile ini = store();
    ini.setInt("connect", "port", 1);
    ini.setString("connect", "control", "NONE\n");
    ini.setString("connect", "connect", "TRUE");
    ini.setString("check", "hex", "FALSE");
    ASSERT_TRUE(ini.writeFile());
    // New keys of an existing section go right under the header.
    EXPECT_EQ(disk(), "[connect]=_=\r\n"
                      "connect=_=TRUE\r\n"
                      "control=_=NONE\r\n"
                      "\r\n"
                      "port=_=1\r\n"
                      "[check]=_=\r\n"
                      "hex=_=FALSE\r\n");
}

TEST_F(IniFileTest, ReadingRules) {
    struct Case {
        const char* name;
        std::string file;
        std::string section, key;
        std::string expected;
    };
    const Case cases[] = {
        {"plain", "[s]=_=\r\nk=_=v\r\n", "s", "k", "v"},
        {"lf only line ends", "[s]=_=\nk=_=v\n", "s", "k", "v"},
        {"lone CR stays", "[s]=_=\r\nk=_=a\rb\r\n", "s", "k", "a\rb"},
        {"continuation lines", "[s]=_=\r\nk=_=a\r\nb\r\n;c\r\n", "s", "k", "a\nb\n;c"},
        {"second line with marker is cut", "[s]=_=\r\nk=_=a\r\nx=_=b\r\n", "s", "k", "a"},
        {"…and is a key of its own", "[s]=_=\r\nk=_=a\r\nx=_=b\r\n", "s", "x", "b"},
        {"header without marker joins the entry above", "[s]=_=\r\nk=_=1\r\n[t]\r\nj=_=2\r\n", "t",
         "j", "def"},
        {"…so its keys stay in the section above", "[s]=_=\r\nk=_=1\r\n[t]\r\nj=_=2\r\n", "s", "j",
         "2"},
        {"lines before the first entry are dropped", "junk\r\n[x\r\n[s]=_=\r\nk=_=v\r\n", "s", "k",
         "v"},
        {"entries before the first header are never found", "k=_=v\r\n[s]=_=\r\n", "", "k", "def"},
        {"first of two sections", "[s]=_=\r\nk=_=1\r\n[s]=_=\r\nk=_=2\r\nj=_=3\r\n", "s", "j",
         "def"},
        {"first of two keys", "[s]=_=\r\nk=_=1\r\nk=_=2\r\n", "s", "k", "1"},
        {"case matters", "[s]=_=\r\nPort=_=1\r\n", "s", "port", "def"},
        {"a leading space is part of the key", "[s]=_=\r\n port=_=1\r\n", "s", "port", "def"},
        {"spaces around the marker belong to key and value", "[s]=_=\r\nk =_= v\r\n", "s", "k ",
         " v"},
        {"header without ] has the empty name", "[abc=_=\r\nk=_=v\r\n", "", "k", "v"},
        {"header name stops at the first ]", "[a]b]=_=\r\nk=_=v\r\n", "a", "k", "v"},
        {"empty key is skipped", "[s]=_=\r\n=_=x\r\n", "s", "", "def"},
        {"section ends at the next header", "[s]=_=\r\n[t]=_=\r\nk=_=v\r\n", "s", "k", "def"},
        {"value holds later markers", "[s]=_=\r\nk=_=a=_=b\r\n", "s", "k", "a=_=b"},
        {"last line without line end", "[s]=_=\r\nk=_=v", "s", "k", "v"},
        {"empty file", "", "s", "k", "def"},
    };
    for (const auto& c : cases) {
        put(c.file);
        IniFile ini = store();
        EXPECT_EQ(ini.getString(c.section, c.key, "def"), c.expected) << c.name;
    }
}

TEST_F(IniFileTest, GetIntTakesNumbersAsAtoiDoes) {
    const std::pair<std::string, int> cases[] = {
        {"8,", 8},
        {"123abc", 123},
        {"abc", 0},
        {"", 0},
        {"  -42", -42},
        {"\t+7x", 7},
        {"- 5", 0},
        {"2147483647", 2147483647},
        {"99999999999", 2147483647},
        {"-99999999999", -2147483647 - 1},
        {"1.5", 1},
    };
    for (const auto& [value, expected] : cases) {
        put("[s]=_=\r\nk=_=" + value + "\r\n");
        IniFile ini = store();
        EXPECT_EQ(ini.getInt("s", "k", 77), expected) << value;
    }
    EXPECT_EQ(store().getInt("s", "missing", -3), -3);
}

TEST_F(IniFileTest, NewKeysGoUnderTheHeaderInReverseOrder) {
    put("[s]=_=\r\nold=_=1\r\n");
    IniFile ini = store();
    (void)ini.getString("s", "old", "");
    ini.setString("s", "a", "A");
    ini.setString("s", "b", "B");
    ini.setString("s", "c", "C");
    ini.setString("s", "a", "A2"); // replaces, stays in place
    ini.setString("u", "k", "K");  // a new section goes at the end
    ASSERT_TRUE(ini.writeFile());
    EXPECT_EQ(disk(), "[s]=_=\r\nc=_=C\r\nb=_=B\r\na=_=A2\r\nold=_=1\r\n[u]=_=\r\nk=_=K\r\n");
}

TEST_F(IniFileTest, SettingUsesTheFirstOfTwoSections) {
    put("[strings]=_=\r\na=_=1\r\n[strings]=_=\r\nb=_=2\r\n");
    IniFile ini = store();
    (void)ini.getString("strings", "a", "");
    ini.setString("strings", "b", "new");
    ASSERT_TRUE(ini.writeFile());
    EXPECT_EQ(disk(), "[strings]=_=\r\nb=_=new\r\na=_=1\r\n[strings]=_=\r\nb=_=2\r\n");
}

TEST_F(IniFileTest, AStoreWrittenWithoutALookupHoldsOnlyWhatWasSet) {
    put("[keep]=_=\r\nx=_=1\r\n");
    IniFile ini = store();
    ini.setString("s", "k", "v");
    ASSERT_TRUE(ini.writeFile());
    EXPECT_EQ(disk(), "[s]=_=\r\nk=_=v\r\n");
}

TEST_F(IniFileTest, VanishedFileGivesDefaultsAndKeepsTheEntriesRead) {
    put("[s]=_=\r\nk=_=v\r\nj=_=w\r\n");
    IniFile ini = store();
    EXPECT_EQ(ini.getString("s", "k", "d"), "v");
    ASSERT_TRUE(QFile::remove(QString::fromStdString(path)));
    EXPECT_EQ(ini.getString("s", "k", "d"), "d");
    EXPECT_FALSE(ini.lastOpenSucceeded());
    ini.setString("s", "j", "changed");
    ASSERT_TRUE(ini.writeFile());
    EXPECT_EQ(disk(), "[s]=_=\r\nk=_=v\r\nj=_=changed\r\n");
}

TEST_F(IniFileTest, FailedWriteLeavesTheOldFileWholeAndSaysSo) {
    put("[s]=_=\r\nk=_=old\r\n");
    IniFile ini = store();
    (void)ini.getString("s", "k", "");
    ini.setString("s", "k", "new");

    IniFile nowhere;
    nowhere.setFileName((dir.path() + QStringLiteral("/no/such/folder/x.ini")).toStdString());
    nowhere.setString("s", "k", "v");
    EXPECT_FALSE(nowhere.writeFile());

    // A write into a folder that cannot take the temporary file, of a file
    // that cannot be written in place either, fails without touching it.
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QFile::setPermissions(QString::fromStdString(path), QFileDevice::ReadOwner);
    const bool canStillWrite = std::ofstream(path + ".probe").good(); // root ignores modes
    if (!canStillWrite) {
        EXPECT_FALSE(ini.writeFile());
        EXPECT_EQ(disk(), "[s]=_=\r\nk=_=old\r\n");
    }
    QFile::setPermissions(dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QFile::setPermissions(QString::fromStdString(path),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    ASSERT_TRUE(ini.writeFile());
    EXPECT_EQ(disk(), "[s]=_=\r\nk=_=new\r\n");
}

TEST_F(IniFileTest, SavingWritesInPlaceWhereTheFolderTakesNoNewFiles) {
    // A file the user may write in a folder where the user may not create
    // files (a shared settings folder): the save goes into the file itself.
    put("[s]=_=\r\nk=_=old\r\nother=_=kept\r\n");
    const QFileDevice::Permissions all = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                         QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                         QFileDevice::ReadOther | QFileDevice::WriteOther;
    ASSERT_TRUE(QFile::setPermissions(QString::fromStdString(path), all));
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                                      QFileDevice::ReadOther |
                                                      QFileDevice::ExeOther));
    const auto result = testsupport::runUnprivileged([&] {
        IniFile ini = store();
        (void)ini.getString("s", "k", "");
        ini.setString("s", "k", "new");
        return std::string(ini.writeFile() ? "saved" : "failed");
    });
    QFile::setPermissions(dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(*result, "saved");
    EXPECT_EQ(disk(), "[s]=_=\r\nk=_=new\r\nother=_=kept\r\n");
}

TEST_F(IniFileTest, WriteLeavesNoTemporaryFiles) {
    IniFile ini = store();
    ini.setString("s", "k", "v");
    ASSERT_TRUE(ini.writeFile());
    ASSERT_TRUE(ini.writeFile());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("settings.ini")});
}

TEST_F(IniFileTest, RandomFilesNeverCrashTheReader) {
    std::mt19937 rng(21);
    const char alphabet[] = "[]=_\r\n ab\x00\xB7";
    for (int i = 0; i < 500; ++i) {
        std::string file(rng() % 300, ' ');
        for (auto& c : file)
            c = alphabet[rng() % (sizeof alphabet - 1)];
        put(file);
        IniFile ini = store();
        (void)ini.getString("a", "b", "d");
        (void)ini.getInt("", "", 0);
        ini.setString("a", "b", "c");
        ASSERT_TRUE(ini.writeFile());
        // What was set reads back, whatever else the file held.
        ASSERT_EQ(store().getString("a", "b", "missing"), "c") << testing::PrintToString(file);
    }
}

TEST_F(IniFileTest, EntriesReadAreWrittenBackWithCrLfLineEnds) {
    const std::pair<std::string, std::string> cases[] = {
        {"[s]=_=\r\nk=_=v\r\n", "[s]=_=\r\nk=_=v\r\n"},
        {"[s]=_=\nk=_=a\nb\n", "[s]=_=\r\nk=_=a\r\nb\r\n"},
        {"[s]=_=\r\nk=_=a\r\r\nb\r\n\r\n", "[s]=_=\r\nk=_=a\r\r\nb\r\n\r\n"},
        {"[s]=_=\r\nk=_=a\rb\nc", "[s]=_=\r\nk=_=a\rb\r\nc\r\n"},
        {"[s]=_=\r\nk=_=v\r", "[s]=_=\r\nk=_=v\r\r\n"},
        {"lead\n[s=_=\nx]\nk=_=v\n", "[s=_=\r\nx]\r\nk=_=v\r\n"},
    };
    for (const auto& [file, written] : cases) {
        put(file);
        IniFile ini = store();
        (void)ini.getString("s", "k", "");
        ASSERT_TRUE(ini.writeFile());
        EXPECT_EQ(disk(), written) << testing::PrintToString(file);
    }
}

TEST_F(IniFileTest, AnUnchangedFileIsReadOnce) {
    put("[s]=_=\r\nk=_=first\r\nn=_=12\r\n");
    settle();
    const IniFile ini = store();
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(ini.getString("s", "k", ""), "first");
        EXPECT_EQ(ini.getInt("s", "n", 0), 12);
    }
    EXPECT_EQ(ini.getString("s", "missing", "d"), "d");
    EXPECT_EQ(ini.fileReads(), 1);

    // The same size, the same inode: only the stamp's times tell.
    overwrite("[s]=_=\r\nk=_=again\r\nn=_=34\r\n");
    settle();
    EXPECT_EQ(ini.getString("s", "k", ""), "again");
    EXPECT_EQ(ini.getInt("s", "n", 0), 34);
    EXPECT_EQ(ini.fileReads(), 2);
}

TEST_F(IniFileTest, AFileChangedRightAfterALookupIsSeen) {
    // Rewrites within one tick of the clock keep the file's times; a stamp
    // that young is never trusted.
    const IniFile ini = store();
    for (int i = 0; i < 20; ++i) {
        const std::string value = "v" + std::to_string(i % 10);
        if (i % 2 == 0) {
            put("[s]=_=\r\nk=_=" + value + "\r\n");
        } else {
            const std::string other = path + ".new";
            std::ofstream(other, std::ios::binary) << "[s]=_=\r\nk=_=" << value << "\r\n";
            ASSERT_EQ(std::rename(other.c_str(), path.c_str()), 0);
        }
        ASSERT_EQ(ini.getString("s", "k", ""), value) << i;
    }
}

TEST_F(IniFileTest, SetsAndItsOwnWritesAreNotTakenForTheFile) {
    put("[s]=_=\r\nk=_=file\r\n");
    settle();
    IniFile ini = store();
    EXPECT_EQ(ini.getString("s", "k", ""), "file");

    // A lookup reads the file again and so drops what was set since.
    ini.setString("s", "k", "set");
    EXPECT_EQ(ini.getString("s", "k", ""), "file");
    EXPECT_EQ(ini.fileReads(), 2);

    // After its own write the store reads the file as it now is: the second
    // line held the marker and is a key of its own.
    ini.setString("s", "k", "one\nx=_=two");
    ASSERT_TRUE(ini.writeFile());
    settle();
    EXPECT_EQ(ini.getString("s", "k", ""), "one");
    EXPECT_EQ(ini.getString("s", "x", ""), "two");
    EXPECT_EQ(ini.fileReads(), 3);
}

TEST_F(IniFileTest, AFailedWriteTellsWhy) {
    IniFile nowhere;
    nowhere.setFileName((dir.path() + QStringLiteral("/no/such/folder/x.ini")).toStdString());
    nowhere.setString("s", "k", "v");
    EXPECT_FALSE(nowhere.writeFile());
    EXPECT_EQ(nowhere.writeError(), ENOENT);

    IniFile ini = store();
    ini.setString("s", "k", "v");
    ASSERT_TRUE(ini.writeFile());
    EXPECT_EQ(ini.writeError(), 0);
}
