#pragma once

// What the five quick tests send, apart from the window: the two sample
// receipts, the barcode test's writes and the print file's bytes. The
// command bytes come from the console's table of printer commands.

#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quicktests {

using Writes = std::vector<std::string>;

// --- sample receipts
enum class Paper { Mm58, Mm80 }; // 58/76 mm paper (32 columns), 80 mm paper (42 columns)

inline constexpr std::size_t SampleLineCount = 22;

// The lines of a sample receipt in GBK, without their line feeds.
[[nodiscard]] const std::array<std::string, SampleLineCount>& sampleLines(Paper paper);
// The whole receipt as it is sent: every line ended by a lone line feed, no
// carriage return, no initialisation and no cut.
[[nodiscard]] const std::string& sampleReceipt(Paper paper);

// --- barcodes
// The items of the barcode type box; any index but CODE39's means CODE128.
inline constexpr int Code39Index = 0;
inline constexpr int Code128Index = 1;

// The longest content the type can print: GS k counts its data in one byte,
// and CODE128's data starts with the two bytes of its code set.
[[nodiscard]] std::size_t maxBarcodeContent(int typeIndex);

// The writes of the barcode test: height, module width, characters below, a
// line feed, then GS k with the data and a line feed. The content is sent as
// it is; the printer judges its characters. nullopt when the content is
// longer than maxBarcodeContent(typeIndex).
[[nodiscard]] std::optional<Writes> barcodeWrites(int typeIndex, std::string_view content);

// --- the print file
// The whole file is held in memory to go out in one write; above this it is
// refused rather than risk the memory of a small machine.
inline constexpr std::int64_t PrintFileLimit = std::int64_t{64} * 1024 * 1024;

struct PrintFile {
    enum class Status { Ok, CannotOpen, ReadFailed, TooLarge };
    Status status = Status::Ok;
    std::string bytes; // the file's bytes exactly as stored, when Ok
};

// Reads the whole file as bytes: no decoding, no line-end conversion. A file
// larger than limit is refused without being read.
[[nodiscard]] PrintFile readPrintFile(const QString& path, std::int64_t limit = PrintFileLimit);

} // namespace quicktests
