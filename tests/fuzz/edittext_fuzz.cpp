// Text areas: any bytes (up to the first NUL) put into a real QPlainTextEdit
// come back byte-exact, for the bytes as they are and with their line ends all
// made CR LF, LF or lone CR.

#include "fuzzcheck.h"
#include "platform/codepage.h"
#include "platform/dialog/edittext.h"

#include <QApplication>
#include <QPlainTextEdit>

#include <memory>
#include <string>

namespace {

QPlainTextEdit* g_edit = nullptr;

std::string withLineEnds(std::string_view bytes, std::string_view lineEnd) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            continue; // the LF after it stands for the pair
        if (bytes[i] == '\n' || bytes[i] == '\r')
            out += lineEnd;
        else
            out += bytes[i];
    }
    return out;
}

void checkThroughEdit(std::string_view bytes, const char* style) {
    edittext::setBytes(*g_edit, bytes);
    const std::string back = edittext::bytes(*g_edit);
    FUZZ_CHECK(back == codepage::untilNul(bytes), std::string(style) + " line ends\nput " +
                                                      fuzz::printable(bytes) + "\ngot " +
                                                      fuzz::printable(back));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    static auto edit = std::make_unique<QPlainTextEdit>();
    g_edit = edit.get();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string_view text = codepage::untilNul(bytes);
    checkThroughEdit(bytes, "own");
    checkThroughEdit(withLineEnds(text, "\r\n"), "CR LF");
    checkThroughEdit(withLineEnds(text, "\n"), "LF");
    checkThroughEdit(withLineEnds(text, "\r"), "lone CR");
    return 0;
}
