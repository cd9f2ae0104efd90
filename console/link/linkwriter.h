#pragma once

// The one way the console writes to the printer. The send engine, its cut
// and the quick tests hand their bytes here and never call the link
// themselves, so how a write is carried out is decided in this one place:
// today straight through the open PrinterLink on the window's thread.
//
// A job is a list of writes that go out in order, each as one write of the
// link (with its flush): the printer sees exactly these boundaries. Every
// write of a job is made even when an earlier one failed, as the console has
// always done; nothing is reported to the person.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

class PrinterLink;

class LinkWriter {
public:
    // currentLink gives the link that is open at the time of a write, or
    // nullptr while none is.
    explicit LinkWriter(std::function<PrinterLink*()> currentLink);

    // One write; the count the link took. 0 without a link, on failure, and
    // for more bytes than one write of the link can carry (2 GiB), which are
    // not written at all rather than cut short.
    std::int64_t write(std::string_view bytes);
    // A job: each entry one write, in order; the total the link took.
    std::int64_t write(std::span<const std::string> writes);

private:
    std::function<PrinterLink*()> m_currentLink;
};
