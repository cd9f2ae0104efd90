// The code page: any bytes (up to the first NUL) -> text -> bytes is the
// identity, as plain text and as edit text in both line-end styles.

#include "fuzzcheck.h"
#include "platform/codepage.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string_view text = codepage::untilNul(bytes);

    const QString unicode = codepage::toUnicode(bytes);
    const std::string back = codepage::fromUnicode(unicode);
    FUZZ_CHECK(back == text, "plain\nput " + fuzz::printable(text) + "\ngot " +
                                 fuzz::printable(back) + "\nvia " + fuzz::printable(unicode));

    for (const auto style : {codepage::LineEnd::CrLf, codepage::LineEnd::Lf}) {
        const QString shown = codepage::toEditText(bytes, style);
        const std::string edited = codepage::fromEditText(shown, style);
        FUZZ_CHECK(edited == text, "edit text\nput " + fuzz::printable(text) + "\ngot " +
                                       fuzz::printable(edited) + "\nvia " + fuzz::printable(shown));
    }
    return 0;
}
