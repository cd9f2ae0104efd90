#include "printer/core/describe.h"

#include "platform/codepage.h"
#include "printer/core/barcodetypes.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

namespace posprinter {

namespace {

constexpr std::size_t JsonHexBytes = 4096;

QString utf8(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QString onOff(std::uint8_t n) {
    return (n & 1) != 0 ? QStringLiteral("开") : QStringLiteral("关");
}

unsigned le16(const DecodedItem& item, std::size_t i) {
    return item.param(i) | static_cast<unsigned>(item.param(i + 1)) << 8;
}

QString printModes(std::uint8_t n) {
    QStringList modes;
    modes << ((n & 0x01) != 0 ? QStringLiteral("字体B") : QStringLiteral("字体A"));
    if ((n & 0x08) != 0)
        modes << QStringLiteral("加粗");
    if ((n & 0x10) != 0)
        modes << QStringLiteral("倍高");
    if ((n & 0x20) != 0)
        modes << QStringLiteral("倍宽");
    if ((n & 0x80) != 0)
        modes << QStringLiteral("下划线");
    return modes.join(QStringLiteral("、"));
}

QString realTimeStatus(std::uint8_t n) {
    switch (n) {
    case 1:
        return QStringLiteral("打印机状态");
    case 2:
        return QStringLiteral("脱机状态");
    case 3:
        return QStringLiteral("错误状态");
    case 4:
        return QStringLiteral("纸传感器状态");
    default:
        return QStringLiteral("n=%1").arg(n);
    }
}

QString cut(const DecodedItem& item) {
    const std::uint8_t m = item.param(0);
    const bool partial = m == 1 || m == 49 || m == 66 || m == 98 || m == 104;
    QString text = partial ? QStringLiteral("半切") : QStringLiteral("全切");
    if (m >= 65)
        text += QStringLiteral("，先走纸 %1").arg(item.param(1));
    return text;
}

QString symbol2D(const DecodedItem& item) {
    const std::uint8_t cn = item.param(2);
    const std::uint8_t fn = item.param(3);
    if (cn != 49)
        return QStringLiteral("cn=%1 fn=%2").arg(cn).arg(fn);
    switch (fn) {
    case 65:
        return QStringLiteral("QR 码：选择模式");
    case 67:
        return QStringLiteral("QR 码：模块大小 %1").arg(item.param(4));
    case 69:
        return QStringLiteral("QR 码：纠错等级 %1")
            .arg(QChar(u"LMQH"[std::min<unsigned>(3, item.param(4) - 48u)]));
    case 80:
        return QStringLiteral("QR 码：存入数据 %1 字节").arg(le16(item, 0) - 3);
    case 81:
        return QStringLiteral("QR 码：打印");
    case 82:
        return QStringLiteral("QR 码：传送数据大小");
    default:
        return QStringLiteral("QR 码：fn=%1").arg(fn);
    }
}

// The parameters of a command in words; empty when the name says it all.
QString details(const DecodedItem& item) {
    const std::uint8_t n = item.param(0);
    switch (item.desc->id) {
    case Cmd::RealTimeStatus:
        return realTimeStatus(n);
    case Cmd::PrintModes:
        return printModes(n);
    case Cmd::Bold:
    case Cmd::DoubleStrike:
    case Cmd::Reverse:
    case Cmd::UpsideDown:
        return onOff(n);
    case Cmd::Underline:
    case Cmd::ChineseUnderline: {
        const unsigned dots = n >= 48 ? n - 48u : n;
        return dots == 0 ? QStringLiteral("关") : QStringLiteral("%1 点粗").arg(dots);
    }
    case Cmd::Justify: {
        const unsigned a = n >= 48 ? n - 48u : n;
        return a == 1   ? QStringLiteral("居中")
               : a == 2 ? QStringLiteral("右对齐")
                        : QStringLiteral("左对齐");
    }
    case Cmd::FeedLines:
    case Cmd::ReverseFeedLines:
        return QStringLiteral("%1 行").arg(n);
    case Cmd::FeedDots:
    case Cmd::LineSpacing:
    case Cmd::RightSpacing:
    case Cmd::BarcodeHeight:
        return QStringLiteral("%1 点").arg(n);
    case Cmd::BarcodeWidth:
        return QStringLiteral("模块宽 %1").arg(n);
    case Cmd::CharacterSize:
        return QStringLiteral("宽 ×%1，高 ×%2").arg((n >> 4 & 7) + 1).arg((n & 7) + 1);
    case Cmd::SelectFont:
        return (n & 1) != 0 ? QStringLiteral("字体B") : QStringLiteral("字体A");
    case Cmd::HriPosition:
        switch (n >= 48 ? n - 48 : n) {
        case 1:
            return QStringLiteral("条码上方");
        case 2:
            return QStringLiteral("条码下方");
        case 3:
            return QStringLiteral("上方和下方");
        default:
            return QStringLiteral("不打印");
        }
    case Cmd::DrawerPulse:
        return QStringLiteral("引脚 %1，开 %2 ms，关 %3 ms")
            .arg((n & 1) != 0 ? 5 : 2)
            .arg(item.param(1) * 2)
            .arg(item.param(2) * 2);
    case Cmd::Cut:
        return cut(item);
    case Cmd::Barcode: {
        const auto type = symbologyOf(n);
        const QString name = type ? utf8(symbologyName(*type)) : QStringLiteral("m=%1").arg(n);
        return QStringLiteral("%1 “%2”").arg(name, codepage::toUnicode(barcodeData(item)));
    }
    case Cmd::TransmitStatus:
        return (n == 2 || n == 50) ? QStringLiteral("钱箱状态") : QStringLiteral("纸传感器状态");
    case Cmd::PrinterId:
        return QStringLiteral("n=%1").arg(n);
    case Cmd::RasterImage:
        return QStringLiteral("%1 × %2 点").arg(le16(item, 1) * 8).arg(le16(item, 3));
    case Cmd::BitImage:
        return QStringLiteral("m=%1，%2 列").arg(n).arg(le16(item, 1));
    case Cmd::Symbol2D:
        return symbol2D(item);
    case Cmd::MarkAdjust: {
        const unsigned units = le16(item, 4);
        const QString which =
            item.param(2) == 2 ? QStringLiteral("切纸位置") : QStringLiteral("打印起始位置");
        return QStringLiteral("%1 %2 单位（%3 mm）")
            .arg(which)
            .arg(units)
            .arg(units * 0.176, 0, 'f', 1);
    }
    case Cmd::TestPrint:
        return QStringLiteral("图案 %1").arg(item.param(3));
    case Cmd::HeadParameter:
        return QStringLiteral("n=%1").arg(n);
    case Cmd::LeftMargin:
    case Cmd::PrintAreaWidth:
    case Cmd::AbsolutePosition:
        return QStringLiteral("%1 点").arg(le16(item, 0));
    case Cmd::CodeTable:
    case Cmd::CharacterSet:
        return QStringLiteral("n=%1").arg(n);
    default:
        return {};
    }
}

} // namespace

QString hexText(std::string_view bytes, std::size_t most) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    const std::size_t shown = std::min(bytes.size(), most);
    QString text;
    text.reserve(static_cast<qsizetype>(shown * 3 + 2));
    for (std::size_t i = 0; i < shown; ++i) {
        const auto b = static_cast<std::uint8_t>(bytes[i]);
        if (i > 0)
            text += QLatin1Char(' ');
        text += QLatin1Char(Digits[b >> 4]);
        text += QLatin1Char(Digits[b & 15]);
    }
    if (shown < bytes.size())
        text += QStringLiteral(" …");
    return text;
}

QString itemName(const DecodedItem& item) {
    switch (item.kind) {
    case DecodedItem::Kind::Text:
        return QStringLiteral("文本");
    case DecodedItem::Kind::Incomplete:
        return QStringLiteral("不完整");
    case DecodedItem::Kind::Unknown:
    case DecodedItem::Kind::Command:
        break;
    }
    return item.desc ? utf8(item.desc->name) : QStringLiteral("未知");
}

QString itemMeaning(const DecodedItem& item) {
    switch (item.kind) {
    case DecodedItem::Kind::Text:
        return QStringLiteral("“%1”").arg(codepage::toUnicode(item.bytes));
    case DecodedItem::Kind::Incomplete:
        return QStringLiteral("数据结束时命令不完整（%1 字节）").arg(item.length);
    case DecodedItem::Kind::Unknown:
        if (item.desc == nullptr)
            return QStringLiteral("未知命令，已跳过");
        return utf8(item.desc->meaning);
    case DecodedItem::Kind::Command:
        break;
    }
    QString text = utf8(item.desc->meaning);
    const QString more = details(item);
    if (!more.isEmpty())
        text += QStringLiteral("：") + more;
    if (item.truncated())
        text += QStringLiteral("（数据过大，未全部保留）");
    return text;
}

QByteArray jsonLine(const DecodedItem& item) {
    static constexpr const char* Kinds[] = {"text", "command", "unknown", "incomplete"};
    QJsonObject o;
    o.insert(QStringLiteral("offset"), static_cast<qint64>(item.offset));
    o.insert(QStringLiteral("length"), static_cast<qint64>(item.length));
    o.insert(QStringLiteral("kind"), QString::fromLatin1(Kinds[static_cast<int>(item.kind)]));
    o.insert(QStringLiteral("name"), itemName(item));
    o.insert(QStringLiteral("hex"), hexText(item.bytes, JsonHexBytes));
    o.insert(QStringLiteral("meaning"), itemMeaning(item));
    if (item.kind == DecodedItem::Kind::Text)
        o.insert(QStringLiteral("text"), codepage::toUnicode(item.bytes));
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

} // namespace posprinter
