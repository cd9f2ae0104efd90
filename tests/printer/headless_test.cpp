// posprinter --headless as a CI job runs it: a PNG per cut and a JSON Lines
// log, ending after the idle time or on SIGTERM.

#include "tests/printer/receipts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <utility>

namespace {

using namespace std::string_literals;

class Headless : public ::testing::Test {
protected:
    void start(const QStringList& extra) {
        ASSERT_TRUE(dir.isValid());
        process.setProgram(QStringLiteral(POSPRINTER_BINARY));
        process.setArguments(QStringList{QStringLiteral("--headless"), QStringLiteral("--out"),
                                         out(), QStringLiteral("--link"), link(),
                                         QStringLiteral("--no-tcp")} +
                             extra);
        process.start();
        ASSERT_TRUE(process.waitForStarted(5000));
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(link()); }, 5000))
            << process.readAllStandardError().toStdString();
    }
    void send(const std::string& bytes) {
        const int fd = ::open(link().toLocal8Bit().constData(), O_WRONLY | O_NOCTTY);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
        ::close(fd);
    }
    QString out() const { return dir.filePath(QStringLiteral("out")); }
    QString link() const { return dir.filePath(QStringLiteral("printer")); }
    QStringList pngs() const {
        return QDir(out()).entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name);
    }
    std::vector<QJsonObject> log() const {
        QFile file(QDir(out()).filePath(QStringLiteral("log.jsonl")));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        std::vector<QJsonObject> lines;
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (!line.isEmpty())
                lines.push_back(QJsonDocument::fromJson(line).object());
        }
        return lines;
    }

    QTemporaryDir dir;
    QProcess process;
};

TEST_F(Headless, WritesAPngPerCutAndTheLogThenEndsWhenIdle) {
    start({QStringLiteral("--idle"), QStringLiteral("1")});
    const std::string stream = printertest::sample58() + "\x1DVB\x11"s +
                               printertest::barcodeTest(false, "0123456789") + "\x1DV\x00"s +
                               "tail, not cut\n";
    send(stream);
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_FALSE(QFileInfo::exists(link())) << "the link is removed at the end";

    ASSERT_EQ(pngs(),
              (QStringList{QStringLiteral("receipt-0001.png"), QStringLiteral("receipt-0002.png"),
                           QStringLiteral("receipt-0003.png")}));
    const auto receipts = printertest::renderAll(stream, posprinter::PaperWidth::Mm80);
    ASSERT_EQ(receipts.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const QImage written(QDir(out()).filePath(pngs()[i]));
        EXPECT_EQ(written.convertToFormat(QImage::Format_RGB32),
                  receipts[static_cast<std::size_t>(i)].image.convertToFormat(QImage::Format_RGB32))
            << i;
    }

    // Every byte in one line of the log, in order, as hex that gives the bytes back.
    std::string bytes;
    qint64 offset = 0;
    for (const QJsonObject& line : log()) {
        EXPECT_EQ(line[QStringLiteral("offset")].toInteger(), offset);
        offset += line[QStringLiteral("length")].toInteger();
        bytes +=
            QByteArray::fromHex(line[QStringLiteral("hex")].toString().toLatin1()).toStdString();
    }
    EXPECT_EQ(bytes, stream);
    EXPECT_EQ(log().front()[QStringLiteral("name")].toString(), QStringLiteral("文本"));
}

TEST_F(Headless, EndsOnSigtermWithTheOpenReceiptWrittenAndACutOffCommandLogged) {
    start({});
    send("open receipt\n\x1Dk"s);
    QTest::qWait(300);
    process.terminate(); // SIGTERM
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_EQ(pngs(), QStringList{QStringLiteral("receipt-0001.png")});
    const auto lines = log();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back()[QStringLiteral("kind")].toString(), QStringLiteral("incomplete"));
    EXPECT_EQ(lines.back()[QStringLiteral("hex")].toString(), QStringLiteral("1D 6B"));
}

TEST(HeadlessOptions, BadOptionsAreRefusedWithAMessage) {
    for (const QStringList& args :
         {QStringList{QStringLiteral("--headless"), QStringLiteral("--idle"), QStringLiteral("x")},
          QStringList{QStringLiteral("--headless"), QStringLiteral("--paper"),
                      QStringLiteral("76")},
          QStringList{QStringLiteral("--headless"), QStringLiteral("--tcp"),
                      QStringLiteral("9100")},
          QStringList{QStringLiteral("--headless"), QStringLiteral("--no-pty"),
                      QStringLiteral("--no-tcp")}}) {
        QProcess p;
        p.start(QStringLiteral(POSPRINTER_BINARY), args);
        ASSERT_TRUE(p.waitForFinished(5000)) << args.join(u' ').toStdString();
        EXPECT_EQ(p.exitCode(), 2) << args.join(u' ').toStdString();
        EXPECT_TRUE(p.readAllStandardError().contains("posprinter: "));
    }
}

// Without a display: --help and a bad option still get their answer, and only
// a window is refused. Every option the help lists is in the manual page.
TEST(CommandLine, HelpNeedsNoDisplayAndTheManualNamesEveryOption) {
    QProcessEnvironment noDisplay = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        noDisplay.remove(QString::fromLatin1(name));
    const auto run = [&](const QStringList& args, int expectedCode) {
        QProcess p;
        p.setProcessEnvironment(noDisplay);
        p.start(QStringLiteral(POSPRINTER_BINARY), args);
        EXPECT_TRUE(p.waitForFinished(5000)) << args.join(u' ').toStdString();
        EXPECT_EQ(p.exitCode(), expectedCode) << args.join(u' ').toStdString();
        return std::pair{QString::fromUtf8(p.readAllStandardOutput()),
                         QString::fromUtf8(p.readAllStandardError())};
    };
    const QString help = run({QStringLiteral("--help")}, 0).first;
    EXPECT_FALSE(run({QStringLiteral("--bogus")}, 2).second.contains(u"DISPLAY"));
    EXPECT_TRUE(run({}, 1).second.contains(u"--headless"));

    QFile page(QStringLiteral(POSPRINTER_MANUAL));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString manual = QString::fromUtf8(page.readAll());
    QStringList options;
    static const QRegularExpression optionName(QStringLiteral("^\\s+(?:-h, )?--([a-z-]+)"),
                                               QRegularExpression::MultilineOption);
    for (auto it = optionName.globalMatch(help); it.hasNext();)
        options << it.next().captured(1);
    EXPECT_GE(options.size(), 10) << help.toStdString();
    for (const QString& option : options) {
        // In roff every "-" of an option is written "\-".
        const QString roff =
            QStringLiteral("\\-\\-") + QString(option).replace(u'-', QStringLiteral("\\-"));
        EXPECT_TRUE(manual.contains(roff))
            << "--" << option.toStdString() << " is not in the manual";
    }
}

} // namespace
