#pragma once

// The golden files of the quick tests: the two sample receipts exactly as a
// printer receives them (tests/data/quicktests), and a file written for a
// test to print.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <string>

namespace golden {

inline QString path(const char* name) {
    const QByteArray data = qgetenv("POSKIT_TEST_DATA");
    return QFile::decodeName(data.isEmpty() ? QByteArray("tests/data") : data) +
           QStringLiteral("/quicktests/") + QString::fromUtf8(name);
}

// The file's bytes; empty when it cannot be read.
inline std::string bytes(const char* name) {
    QFile f(path(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray all = f.readAll();
    return {all.constData(), static_cast<std::size_t>(all.size())};
}

inline const std::string& sample58() {
    static const std::string b = bytes("sample58.prn");
    return b;
}
inline const std::string& sample80() {
    static const std::string b = bytes("sample80.prn");
    return b;
}

// True when both receipts were found (CTest sets POSKIT_TEST_DATA; a test
// started by hand from elsewhere needs it too).
inline bool samplesFound() {
    return sample58().size() == 656 && sample80().size() == 894;
}

// Bytes no text conversion would leave alone: NULs, CR LF and lone CR and LF,
// bytes that are not GBK, a hex-looking text.
inline const std::string& oddFile() {
    static const std::string b("1b 40\0\x80\xFF\r\n\r\n\x81\x30##00\n\0", 20);
    return b;
}

// Writes bytes into a file; false when it cannot.
inline bool writeFile(const QString& filePath, const std::string& content) {
    QFile f(filePath);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           f.write(content.data(), static_cast<qint64>(content.size())) ==
               static_cast<qint64>(content.size());
}

} // namespace golden
