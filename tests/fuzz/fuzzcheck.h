#pragma once

// What every fuzz target shares: a property check that stops the run with a
// readable message (libFuzzer then keeps the input as a crash file), the
// printing of byte strings in that message, and a scratch folder for files.

#include <QString>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace fuzz {

inline std::string printable(std::string_view bytes) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : bytes.substr(0, 200)) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b < 0x7F && b != '\\') {
            out.push_back(c);
        } else {
            out += "\\x";
            out.push_back(Digits[b >> 4]);
            out.push_back(Digits[b & 0x0F]);
        }
    }
    if (bytes.size() > 200)
        out += "...";
    return out;
}

inline std::string printable(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return printable(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

[[noreturn]] inline void failed(const char* what, const char* file, int line,
                                const std::string& detail) {
    std::fprintf(stderr, "\n%s:%d: property failed: %s\n%s\n", file, line, what, detail.c_str());
    std::abort();
}

inline void putFile(const std::string& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A fresh folder for the files one run writes, removed when the run ends; in
// memory where the system has it, since the settings store syncs each save.
inline std::string scratchDir(const char* name) {
    const std::string base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string pattern = base + "/" + name + ".XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        std::abort();
    static std::string dir;
    dir = pattern;
    std::atexit([] { std::filesystem::remove_all(dir); });
    return dir;
}

} // namespace fuzz

// FUZZ_CHECK(condition, detail): detail is only built when the check fails.
#define FUZZ_CHECK(cond, detail)                                                                   \
    do {                                                                                           \
        if (!(cond))                                                                               \
            ::fuzz::failed(#cond, __FILE__, __LINE__, (detail));                                   \
    } while (false)
