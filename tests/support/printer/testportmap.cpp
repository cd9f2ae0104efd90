#include "tests/support/printer/testportmap.h"

#include <QDir>
#include <QFile>

namespace testsupport {

std::string missingDevice(const QString& dir, const std::string& name) {
    return QDir(dir).filePath(QStringLiteral("no-such-device-")).toStdString() + name;
}

bool useTestPortMap(const QString& dir, const std::string& com1) {
    std::string map = "# written by the test\nCOM1 = " + com1 + "\n";
    for (int i = 2; i <= 14; ++i)
        map += "COM" + std::to_string(i) + " = " + missingDevice(dir, "com" + std::to_string(i)) +
               "\n";
    for (const char* name : {"LPT1", "LPT2"})
        map += std::string(name) + " = " + missingDevice(dir, name) + "\n";
    for (int i = 1; i <= 10; ++i)
        map += "USB" + std::to_string(i) + " = " + missingDevice(dir, "usb" + std::to_string(i)) +
               "\n";
    const QString path = QDir(dir).filePath(QStringLiteral("ports.conf"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    if (f.write(map.data(), static_cast<qint64>(map.size())) != static_cast<qint64>(map.size()))
        return false;
    f.close();
    qputenv("POSKIT_PORTS", QFile::encodeName(path));
    return true;
}

} // namespace testsupport
