#include "tests/support/printer/testportmap.h"

#include <QDir>
#include <QFile>

namespace testsupport {

std::string missingDevice(const QString& dir, const std::string& name) {
    return QDir(dir).filePath(QStringLiteral("no-such-device-")).toStdString() + name;
}

bool useTestPortMap(const QString& dir, const std::string& com1,
                    const std::map<std::string, std::string>& others) {
    std::string map = "# written by the test\nCOM1 = " + com1 + "\n";
    const auto add = [&](const std::string& name, const std::string& missingName) {
        const auto given = others.find(name);
        map += name + " = " +
               (given != others.end() ? given->second : missingDevice(dir, missingName)) + "\n";
    };
    for (int i = 2; i <= 14; ++i)
        add("COM" + std::to_string(i), "com" + std::to_string(i));
    for (const char* name : {"LPT1", "LPT2"})
        add(name, name);
    for (int i = 1; i <= 10; ++i)
        add("USB" + std::to_string(i), "usb" + std::to_string(i));
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
