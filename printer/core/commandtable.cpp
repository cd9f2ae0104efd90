#include "printer/core/commandtable.h"

#include <array>
#include <vector>

namespace posprinter {

namespace {

using namespace std::string_view_literals;

constexpr CommandSpec Table[] = {
    // single bytes
    {Cmd::Tab, "\x09"sv, Params::Fixed, 0, "HT"sv, "水平跳格"sv},
    {Cmd::LineFeed, "\x0A"sv, Params::Fixed, 0, "LF"sv, "打印并换行"sv},
    {Cmd::FormFeed, "\x0C"sv, Params::Fixed, 0, "FF"sv, "打印并走纸（页模式打印）"sv},
    {Cmd::CarriageReturn, "\x0D"sv, Params::Fixed, 0, "CR"sv, "回车（不走纸）"sv},
    {Cmd::Cancel, "\x18"sv, Params::Fixed, 0, "CAN"sv, "取消页模式下的打印数据"sv},
    // real-time commands
    {Cmd::RealTimeStatus, "\x10\x04"sv, Params::Fixed, 1, "DLE EOT"sv, "实时状态传送"sv},
    {Cmd::RealTimeRequest, "\x10\x05"sv, Params::Fixed, 1, "DLE ENQ"sv, "实时请求"sv},
    {Cmd::RealTimePulse, "\x10\x14"sv, Params::Fixed, 3, "DLE DC4"sv, "实时输出钱箱脉冲等"sv},
    // ESC
    {Cmd::PageModePrint, "\x1B\x0C"sv, Params::Fixed, 0, "ESC FF"sv, "页模式下打印"sv},
    {Cmd::RightSpacing, "\x1B\x20"sv, Params::Fixed, 1, "ESC SP"sv, "设置字符右间距"sv},
    {Cmd::PrintModes, "\x1B\x21"sv, Params::Fixed, 1, "ESC !"sv, "选择打印模式"sv},
    {Cmd::AbsolutePosition, "\x1B\x24"sv, Params::Fixed, 2, "ESC $"sv, "设置绝对打印位置"sv},
    {Cmd::UserCharsOnOff, "\x1B\x25"sv, Params::Fixed, 1, "ESC %"sv, "选择/取消用户自定义字符"sv},
    {Cmd::DefineUserChars, "\x1B\x26"sv, Params::UserChars, 0, "ESC &"sv, "定义用户自定义字符"sv},
    {Cmd::BitImage, "\x1B\x2A"sv, Params::BitImage, 0, "ESC *"sv, "选择位图模式（位图）"sv},
    {Cmd::Underline, "\x1B\x2D"sv, Params::Fixed, 1, "ESC -"sv, "下划线"sv},
    {Cmd::DefaultLineSpacing, "\x1B\x32"sv, Params::Fixed, 0, "ESC 2"sv, "默认行间距"sv},
    {Cmd::LineSpacing, "\x1B\x33"sv, Params::Fixed, 1, "ESC 3"sv, "设置行间距"sv},
    {Cmd::CancelUserChar, "\x1B\x3F"sv, Params::Fixed, 1, "ESC ?"sv, "取消用户自定义字符"sv},
    {Cmd::Initialize, "\x1B\x40"sv, Params::Fixed, 0, "ESC @"sv, "初始化打印机"sv},
    {Cmd::TabPositions, "\x1B\x44"sv, Params::NulTerminated, 32, "ESC D"sv, "设置跳格位置"sv},
    {Cmd::Bold, "\x1B\x45"sv, Params::Fixed, 1, "ESC E"sv, "加粗"sv},
    {Cmd::DoubleStrike, "\x1B\x47"sv, Params::Fixed, 1, "ESC G"sv, "重叠打印"sv},
    {Cmd::FeedDots, "\x1B\x4A"sv, Params::Fixed, 1, "ESC J"sv, "打印并走纸 n 点"sv},
    {Cmd::PageMode, "\x1B\x4C"sv, Params::Fixed, 0, "ESC L"sv, "选择页模式"sv},
    {Cmd::SelectFont, "\x1B\x4D"sv, Params::Fixed, 1, "ESC M"sv, "选择字体"sv},
    {Cmd::CharacterSet, "\x1B\x52"sv, Params::Fixed, 1, "ESC R"sv, "选择国际字符集"sv},
    {Cmd::StandardMode, "\x1B\x53"sv, Params::Fixed, 0, "ESC S"sv, "选择标准模式"sv},
    {Cmd::PageDirection, "\x1B\x54"sv, Params::Fixed, 1, "ESC T"sv, "页模式下选择打印方向"sv},
    {Cmd::Rotate90, "\x1B\x56"sv, Params::Fixed, 1, "ESC V"sv, "字符旋转 90°"sv},
    {Cmd::PageArea, "\x1B\x57"sv, Params::Fixed, 8, "ESC W"sv, "页模式下设置打印区域"sv},
    {Cmd::RelativePosition, "\x1B\x5C"sv, Params::Fixed, 2, "ESC \\"sv, "设置相对打印位置"sv},
    {Cmd::Justify, "\x1B\x61"sv, Params::Fixed, 1, "ESC a"sv, "对齐方式"sv},
    {Cmd::PaperSensorsOut, "\x1B\x63\x33"sv, Params::Fixed, 1, "ESC c 3"sv, "选择缺纸信号传感器"sv},
    {Cmd::PaperSensorsStop, "\x1B\x63\x34"sv, Params::Fixed, 1, "ESC c 4"sv,
     "选择停止打印传感器"sv},
    {Cmd::PanelButtons, "\x1B\x63\x35"sv, Params::Fixed, 1, "ESC c 5"sv, "允许/禁止面板按键"sv},
    {Cmd::FeedLines, "\x1B\x64"sv, Params::Fixed, 1, "ESC d"sv, "打印并走纸 n 行"sv},
    {Cmd::ReverseFeedLines, "\x1B\x65"sv, Params::Fixed, 1, "ESC e"sv, "打印并反向走纸 n 行"sv},
    {Cmd::PartialCutOnePoint, "\x1B\x69"sv, Params::Fixed, 0, "ESC i"sv, "切纸（留一点）"sv},
    {Cmd::PartialCutThreePoints, "\x1B\x6D"sv, Params::Fixed, 0, "ESC m"sv, "切纸（留三点）"sv},
    {Cmd::DrawerPulse, "\x1B\x70"sv, Params::Fixed, 3, "ESC p"sv, "钱箱脉冲"sv},
    {Cmd::PrintColour, "\x1B\x72"sv, Params::Fixed, 1, "ESC r"sv, "选择打印颜色"sv},
    {Cmd::CodeTable, "\x1B\x74"sv, Params::Fixed, 1, "ESC t"sv, "选择字符代码页"sv},
    {Cmd::UpsideDown, "\x1B\x7B"sv, Params::Fixed, 1, "ESC {"sv, "倒置打印"sv},
    {Cmd::Peripheral, "\x1B\x3D"sv, Params::Fixed, 1, "ESC ="sv, "选择外设"sv},
    // GS
    {Cmd::CharacterSize, "\x1D\x21"sv, Params::Fixed, 1, "GS !"sv, "字符放大倍数"sv},
    {Cmd::VerticalAbsolute, "\x1D\x24"sv, Params::Fixed, 2, "GS $"sv, "页模式下设置纵向绝对位置"sv},
    {Cmd::DefineDownloadedImage, "\x1D\x2A"sv, Params::DownloadedImage, 0, "GS *"sv,
     "定义下载位图"sv},
    {Cmd::PrintDownloadedImage, "\x1D\x2F"sv, Params::Fixed, 1, "GS /"sv, "打印下载位图"sv},
    {Cmd::Macro, "\x1D\x3A"sv, Params::Fixed, 0, "GS :"sv, "开始/结束宏定义"sv},
    {Cmd::Reverse, "\x1D\x42"sv, Params::Fixed, 1, "GS B"sv, "黑白反显"sv},
    {Cmd::HeadParameter, "\x1D\x43"sv, Params::Fixed, 1, "GS C"sv, "设置机头参数"sv},
    {Cmd::MarkFeedToStart, "\x1D\x0C"sv, Params::Fixed, 0, "GS FF"sv, "黑标纸走纸到打印起始位置"sv},
    {Cmd::HriPosition, "\x1D\x48"sv, Params::Fixed, 1, "GS H"sv, "条码可读字符位置"sv},
    {Cmd::PrinterId, "\x1D\x49"sv, Params::Fixed, 1, "GS I"sv, "传送打印机 ID"sv},
    {Cmd::LeftMargin, "\x1D\x4C"sv, Params::Fixed, 2, "GS L"sv, "设置左边距"sv},
    {Cmd::MotionUnits, "\x1D\x50"sv, Params::Fixed, 2, "GS P"sv, "设置横向和纵向移动单位"sv},
    {Cmd::Cut, "\x1D\x56"sv, Params::Cut, 0, "GS V"sv, "切纸"sv},
    {Cmd::PrintAreaWidth, "\x1D\x57"sv, Params::Fixed, 2, "GS W"sv, "设置打印区域宽度"sv},
    {Cmd::VerticalRelative, "\x1D\x5C"sv, Params::Fixed, 2, "GS \\"sv,
     "页模式下设置纵向相对位置"sv},
    {Cmd::RunMacro, "\x1D\x5E"sv, Params::Fixed, 3, "GS ^"sv, "执行宏"sv},
    {Cmd::AutoStatusBack, "\x1D\x61"sv, Params::Fixed, 1, "GS a"sv, "自动状态返回"sv},
    {Cmd::Smoothing, "\x1D\x62"sv, Params::Fixed, 1, "GS b"sv, "平滑模式"sv},
    {Cmd::HriFont, "\x1D\x66"sv, Params::Fixed, 1, "GS f"sv, "条码可读字符字体"sv},
    {Cmd::BarcodeHeight, "\x1D\x68"sv, Params::Fixed, 1, "GS h"sv, "条码高度"sv},
    {Cmd::Barcode, "\x1D\x6B"sv, Params::Barcode, 0, "GS k"sv, "打印条码"sv},
    {Cmd::TransmitStatus, "\x1D\x72"sv, Params::Fixed, 1, "GS r"sv, "传送状态"sv},
    {Cmd::RasterImage, "\x1D\x76\x30"sv, Params::Raster, 0, "GS v 0"sv, "打印光栅位图"sv},
    {Cmd::BarcodeWidth, "\x1D\x77"sv, Params::Fixed, 1, "GS w"sv, "条码模块宽度"sv},
    {Cmd::TestPrint, "\x1D\x28\x41"sv, Params::Length16, 0, "GS ( A"sv, "测试打印"sv},
    {Cmd::MarkAdjust, "\x1D\x28\x46"sv, Params::Length16, 0, "GS ( F"sv, "黑标位置调整"sv},
    {Cmd::Symbol2D, "\x1D\x28\x6B"sv, Params::Length16, 0, "GS ( k"sv, "二维码"sv},
    {Cmd::Graphics, "\x1D\x28\x4C"sv, Params::Length16, 0, "GS ( L"sv, "图形数据"sv},
    {Cmd::Graphics, "\x1D\x38\x4C"sv, Params::Length32, 0, "GS 8 L"sv, "图形数据（长）"sv},
    {Cmd::GsParenOther, "\x1D\x28"sv, Params::FnLength16, 0, "GS ("sv, "未识别的 GS ( 命令"sv,
     false},
    // FS
    {Cmd::ChineseOn, "\x1C\x26"sv, Params::Fixed, 0, "FS &"sv, "进入汉字模式"sv},
    {Cmd::ChineseOff, "\x1C\x2E"sv, Params::Fixed, 0, "FS ."sv, "退出汉字模式"sv},
    {Cmd::ChineseModes, "\x1C\x21"sv, Params::Fixed, 1, "FS !"sv, "汉字打印模式"sv},
    {Cmd::ChineseUnderline, "\x1C\x2D"sv, Params::Fixed, 1, "FS -"sv, "汉字下划线"sv},
    {Cmd::DefineChineseChar, "\x1C\x32"sv, Params::Fixed, 74, "FS 2"sv, "定义自定义汉字"sv},
    {Cmd::ChineseSpacing, "\x1C\x53"sv, Params::Fixed, 2, "FS S"sv, "汉字左右间距"sv},
    {Cmd::ChineseQuadruple, "\x1C\x57"sv, Params::Fixed, 1, "FS W"sv, "汉字倍宽倍高"sv},
    {Cmd::ChineseCodeSystem, "\x1C\x43"sv, Params::Fixed, 1, "FS C"sv, "选择汉字编码"sv},
    {Cmd::PrintNvImage, "\x1C\x70"sv, Params::Fixed, 2, "FS p"sv, "打印 NV 位图"sv},
    {Cmd::DefineNvImages, "\x1C\x71"sv, Params::NvImages, 0, "FS q"sv, "定义 NV 位图"sv},
    {Cmd::FsParenOther, "\x1C\x28"sv, Params::FnLength16, 0, "FS ("sv, "未识别的 FS ( 命令"sv,
     false},
};

// Lookup by the first bytes, built once from the table.
struct Index {
    std::array<const CommandSpec*, 256> single{};
    struct Second {
        const CommandSpec* two = nullptr;
        std::vector<const CommandSpec*> three;
    };
    // DLE, ESC, FS, GS
    std::array<std::array<Second, 256>, 4> pairs{};

    static int family(std::uint8_t b) {
        switch (b) {
        case DLE:
            return 0;
        case ESC:
            return 1;
        case FS:
            return 2;
        case GS:
            return 3;
        default:
            return -1;
        }
    }

    Index() {
        for (const CommandSpec& desc : Table) {
            const auto b = [&](std::size_t i) { return static_cast<std::uint8_t>(desc.prefix[i]); };
            if (desc.prefix.size() == 1) {
                single[b(0)] = &desc;
                continue;
            }
            Second& second = pairs[static_cast<std::size_t>(family(b(0)))][b(1)];
            if (desc.prefix.size() == 2)
                second.two = &desc;
            else
                second.three.push_back(&desc);
        }
    }
};

const Index& index() {
    static const Index built;
    return built;
}

} // namespace

std::span<const CommandSpec> commandTable() {
    return Table;
}

PrefixMatch matchPrefix(std::span<const std::uint8_t> bytes) {
    if (bytes.empty())
        return {nullptr, true};
    const Index& idx = index();
    const int family = Index::family(bytes[0]);
    if (family < 0)
        return {idx.single[bytes[0]], false};
    if (bytes.size() < 2)
        return {nullptr, true};
    const Index::Second& second = idx.pairs[static_cast<std::size_t>(family)][bytes[1]];
    if (!second.three.empty()) {
        if (bytes.size() < 3)
            return {nullptr, true};
        for (const CommandSpec* desc : second.three) {
            if (static_cast<std::uint8_t>(desc->prefix[2]) == bytes[2])
                return {desc, false};
        }
    }
    return {second.two, false};
}

} // namespace posprinter
