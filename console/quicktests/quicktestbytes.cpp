#include "console/quicktests/quicktestbytes.h"

#include "console/send/printercommands.h"
#include "platform/codepage.h"

#include <QFile>

namespace quicktests {
namespace {

namespace pc = printercommands;

// The receipts as they read; they are sent in GBK, where each Chinese
// character and full-width mark takes two bytes and two columns. Runs of
// spaces are part of the layout: a 58 mm line holds 32 columns, an 80 mm
// line 42, and the closing lines are centred by their leading spaces.
constexpr std::array<const char16_t*, SampleLineCount> Sample58Texts = {
    u"小票：270500027719 收银员：01012", u"--------------------------------",
    u"   商品编码        单价     数量", u"01.9940228004700    3.98   1.181",
    u"   番石榴     小计：4.70",         u"02.996100800220     6.00   0.376",
    u"   白面条     小计：2.20",         u"03.6921644701204    3.50   1(包)",
    u"   恒源德调味 小计：3.50",         u"04.9940316000602    5.16   0.116",
    u"   生葱       小计：0.60",         u"--------------------------------",
    u"购货总额：                11.00",  u"付款：   现金 人民币     101.00",
    u"找零：   现金 人民币      90.00",  u"    售出商品数量：4件",
    u"      2005-09-13  16:50:19",       u"        欢迎光临   多谢惠顾",
    u"          （开发票当月有效）",     u"          zaz百货南邮店",
    u"小票：270500027721 收银员：01012", u"--------------------------------",
};
constexpr std::array<const char16_t*, SampleLineCount> Sample80Texts = {
    u"小票：270500027719 收银员：010121212122121",
    u"------------------------------------------",
    u"   商品编码        单价  数量 Kavrelondine",
    u"01.9940228004700    3.98   1.181  20080616",
    u"   番石榴     小计：4.70   小计： 4.70小计",
    u"02.996100800220     6.00   0.376  gfgf小计",
    u"   白面条     小计：2.20          1212小计",
    u"03.6921644701204    3.50   1(包)  4.70小计",
    u"   恒源德调味 小计：3.501111111111后果环境",
    u"04.9940316000602    5.16   0.116123132   4",
    u"   生葱       小计：0.60           生葱   ",
    u"------------------------------------------",
    u"购货总额：                11.00   风画符共",
    u"付款：   现金 人民币    101.0045 45441格画",
    u"找零：   现金 人民币     90.00  共和国恢复",
    u"    售出商品数量：4件         哈深刻饿撒啊",
    u"           2005-09-13  16:50:19",
    u"            欢迎光临   多谢惠顾",
    u"             （开发票当月有效）",
    u"          zaz百货南邮店",
    u"小票：270500027721           收银员：01012",
    u"------------------------------------------",
};

std::array<std::string, SampleLineCount>
toGbk(const std::array<const char16_t*, SampleLineCount>& texts) {
    std::array<std::string, SampleLineCount> lines;
    for (std::size_t i = 0; i < lines.size(); ++i)
        lines[i] = codepage::fromUnicode(QStringView(texts[i]));
    return lines;
}

std::string joinLines(const std::array<std::string, SampleLineCount>& lines) {
    std::string receipt;
    for (const std::string& line : lines) {
        receipt += line;
        receipt += pc::LineFeed;
    }
    return receipt;
}

} // namespace

const std::array<std::string, SampleLineCount>& sampleLines(Paper paper) {
    static const auto mm58 = toGbk(Sample58Texts);
    static const auto mm80 = toGbk(Sample80Texts);
    return paper == Paper::Mm58 ? mm58 : mm80;
}

const std::string& sampleReceipt(Paper paper) {
    static const std::string mm58 = joinLines(sampleLines(Paper::Mm58));
    static const std::string mm80 = joinLines(sampleLines(Paper::Mm80));
    return paper == Paper::Mm58 ? mm58 : mm80;
}

std::size_t maxBarcodeContent(int typeIndex) {
    return typeIndex == Code39Index ? pc::MaxBarcodeData
                                    : pc::MaxBarcodeData - pc::Code128CodeSetA.size();
}

std::optional<Writes> barcodeWrites(int typeIndex, std::string_view content) {
    const bool code39 = typeIndex == Code39Index;
    std::string data = code39 ? std::string() : std::string(pc::Code128CodeSetA);
    data.append(content);
    auto command =
        pc::printBarcode(code39 ? pc::BarcodeSystem::Code39 : pc::BarcodeSystem::Code128, data);
    if (!command)
        return std::nullopt;
    *command += pc::LineFeed;
    return Writes{std::string(pc::BarcodeHeight120), std::string(pc::BarcodeModuleWidth2),
                  std::string(pc::BarcodeTextBelow), std::string(1, pc::LineFeed),
                  std::move(*command)};
}

PrintFile readPrintFile(const QString& path, std::int64_t limit) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {PrintFile::Status::CannotOpen, {}};
    if (!file.isSequential() && file.size() > limit)
        return {PrintFile::Status::TooLarge, {}};

    // Read to the end rather than trusting the size: a file that grows
    // meanwhile, or a device, is still bounded by the limit.
    std::string bytes;
    if (!file.isSequential())
        bytes.reserve(static_cast<std::size_t>(file.size()));
    std::vector<char> chunk(std::size_t{1} << 20);
    for (;;) {
        const qint64 got = file.read(chunk.data(), static_cast<qint64>(chunk.size()));
        if (got < 0)
            return {PrintFile::Status::ReadFailed, {}};
        if (got == 0)
            break;
        if (static_cast<std::int64_t>(bytes.size()) + got > limit)
            return {PrintFile::Status::TooLarge, {}};
        bytes.append(chunk.data(), static_cast<std::size_t>(got));
    }
    return {PrintFile::Status::Ok, std::move(bytes)};
}

} // namespace quicktests
