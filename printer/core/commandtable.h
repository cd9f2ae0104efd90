#pragma once

// The printer's command set: one table of descriptors, one row per command.
// The decoder reads it to know where a command ends, the renderer and the
// replies switch on the row's id, the log shows its name and meaning. A
// command that is not in the table is shown as unknown and skipped.

#include <cstdint>
#include <span>
#include <string_view>

namespace posprinter {

// What a command does, as the renderer and the replies see it.
enum class Cmd : std::uint8_t {
    // single bytes
    Tab,
    LineFeed,
    FormFeed,
    CarriageReturn,
    Cancel,
    // real-time
    RealTimeStatus,  // DLE EOT n
    RealTimeRequest, // DLE ENQ n
    RealTimePulse,   // DLE DC4 fn m t
    // ESC
    PageModePrint,
    RightSpacing,
    PrintModes,
    AbsolutePosition,
    UserCharsOnOff,
    DefineUserChars,
    BitImage,
    Underline,
    DefaultLineSpacing,
    LineSpacing,
    CancelUserChar,
    Initialize,
    TabPositions,
    Bold,
    DoubleStrike,
    FeedDots,
    PageMode,
    SelectFont,
    CharacterSet,
    StandardMode,
    PageDirection,
    Rotate90,
    PageArea,
    RelativePosition,
    Justify,
    PaperSensorsOut,
    PaperSensorsStop,
    PanelButtons,
    FeedLines,
    ReverseFeedLines,
    PartialCutOnePoint,
    PartialCutThreePoints,
    DrawerPulse,
    PrintColour,
    CodeTable,
    UpsideDown,
    Peripheral,
    // GS
    CharacterSize,
    VerticalAbsolute,
    DefineDownloadedImage,
    PrintDownloadedImage,
    Macro,
    Reverse,
    HeadParameter,
    MarkFeedToStart,
    HriPosition,
    PrinterId,
    LeftMargin,
    MotionUnits,
    Cut,
    PrintAreaWidth,
    VerticalRelative,
    RunMacro,
    AutoStatusBack,
    Smoothing,
    HriFont,
    BarcodeHeight,
    Barcode,
    TransmitStatus,
    RasterImage,
    BarcodeWidth,
    TestPrint,    // GS ( A
    MarkAdjust,   // GS ( F
    Symbol2D,     // GS ( k
    Graphics,     // GS ( L and GS 8 L
    GsParenOther, // any other GS ( x with its length
    // FS
    ChineseOn,
    ChineseOff,
    ChineseModes,
    ChineseUnderline,
    DefineChineseChar,
    ChineseSpacing,
    ChineseQuadruple,
    ChineseCodeSystem,
    PrintNvImage,
    DefineNvImages,
    FsParenOther, // any FS ( x with its length
};

// How the bytes after the prefix are counted.
enum class Params : std::uint8_t {
    Fixed,           // `count` bytes
    Length16,        // pL pH, then pL + 256 pH bytes
    FnLength16,      // fn, pL pH, then the data: the GS ( x / FS ( x family
    Length32,        // p1 p2 p3 p4 (little endian), then that many bytes: GS 8 L
    NulTerminated,   // up to `count` bytes ending with NUL: ESC D
    BitImage,        // ESC *: m nL nH, then n or 3n bytes by m
    Barcode,         // GS k: m, then NUL-terminated data (m <= 6) or n and n bytes
    Raster,          // GS v 0: m xL xH yL yH, then x * y bytes
    DownloadedImage, // GS *: x y, then x * y * 8 bytes
    UserChars,       // ESC &: y c1 c2, then per character x and y * x bytes
    NvImages,        // FS q: n, then per image xL xH yL yH and x * y * 8 bytes
    Cut,             // GS V: m, and n when m asks for a feed
};

struct CommandSpec {
    Cmd id;
    std::string_view prefix;
    Params params;
    std::uint8_t count;       // Fixed: the byte count; NulTerminated: the most before NUL
    std::string_view name;    // the mnemonic, e.g. "ESC @"
    std::string_view meaning; // UTF-8, what it does
    bool known = true;        // false: a family member we only know the length of
};

// Every descriptor, in the order they are listed.
[[nodiscard]] std::span<const CommandSpec> commandTable();

// The descriptor whose prefix starts `bytes`. `needMore` is set when
// `bytes` is a proper start of some prefix and more bytes could decide.
struct PrefixMatch {
    const CommandSpec* desc = nullptr;
    bool needMore = false;
};
[[nodiscard]] PrefixMatch matchPrefix(std::span<const std::uint8_t> bytes);

// The bytes that begin a command family: the decoder treats every other
// byte below 0x20 as an unknown single byte.
inline constexpr std::uint8_t DLE = 0x10;
inline constexpr std::uint8_t ESC = 0x1B;
inline constexpr std::uint8_t FS = 0x1C;
inline constexpr std::uint8_t GS = 0x1D;

} // namespace posprinter
