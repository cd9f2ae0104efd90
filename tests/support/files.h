#pragma once

// Whole files as bytes, and the golden files under tests/data (found through
// POSKIT_TEST_DATA, which every test gets from CTest).

#include <QString>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace testsupport {

inline std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}
inline std::string fileBytes(const QString& path) {
    return fileBytes(path.toStdString());
}

inline void putFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}
inline void putFile(const QString& path, const std::string& bytes) {
    putFile(path.toStdString(), bytes);
}

// tests/data/<name>; empty when it is missing.
inline std::string goldenFile(const std::string& name) {
    const char* data = std::getenv("POSKIT_TEST_DATA");
    return fileBytes(std::string(data != nullptr ? data : "tests/data") + "/" + name);
}

} // namespace testsupport
