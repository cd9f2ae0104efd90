#include "headadjust/headcommands.h"

#include "platform/codepage.h"

#include <QString>

namespace headadjust {
namespace {

constexpr char LineFeed = '\x0A';

// Ten consecutive GB2312 characters, then a four-character phrase, spaced.
constexpr std::array<const char16_t*, EffectTestLineCount> EffectTestTexts = {
    u"蔼 矮 艾 碍 爱 隘 鞍 氨 安 俺 测 试 效 果", u"豹 鲍 爆 杯 碑 悲 卑 北 辈 背 适 用 范 围",
    u"泊 驳 捕 卜 哺 补 埠 不 布 步 工 作 条 件", u"唱 倡 超 抄 钞 朝 嘲 潮 巢 吵 安 全 事 项",
    u"慈 瓷 词 此 刺 赐 次 聪 葱 囱 总 体 结 构", u"荡 档 刀 捣 蹈 倒 岛 祷 导 到 外 形 尺 寸",
    u"等 瞪 凳 邓 堤 低 滴 迪 敌 笛 安 装 方 法", u"丢 东 冬 董 懂 动 栋 侗 恫 冻 系 统 连 接",
    u"藩 帆 番 翻 樊 矾 钒 繁 凡 烦 接 口 连 接", u"釜 斧 脯 腑 府 腐 赴 副 覆 赋 机 头 连 接",
    u"躬 公 宫 弓 巩 汞 拱 贡 共 钩 串 行 接 口", u"捍 旱 憾 悍 焊 汗 汉 夯 杭 航 并 行 接 口",
    u"杠 篙 皋 高 膏 羔 糕 搞 镐 稿 命 令 列 表", u"啡 飞 肥 匪 诽 吠 肺 废 沸 费 命 令 详 解",
    u"洞 兜 抖 斗 陡 豆 逗 痘 都 督 术 语 解 释", u"稻 悼 道 盗 德 得 的 蹬 灯 登 命 令 符 号",
    u"创 吹 炊 捶 锤 垂 春 椿 醇 唇 命 令 概 述", u"炒 车 扯 撤 掣 彻 澈 郴 臣 辰 应 用 领 域",
    u"泊 驳 捕 卜 哺 补 埠 不 布 步 两 组 成 印", u"按 暗 岸 胺 案 肮 昂 盎 凹 敖 四 组 成 印",
};

} // namespace

const std::array<std::string, EffectTestLineCount>& EffectTestLines() {
    static const auto lines = [] {
        std::array<std::string, EffectTestLineCount> out;
        for (std::size_t i = 0; i < out.size(); ++i)
            out[i] = codepage::fromUnicode(QStringView(EffectTestTexts[i]));
        return out;
    }();
    return lines;
}

Writes PrintParameterEffects() {
    return {std::string("\x1D\x28\x41\x02\x00\x00\x04", 7), std::string(1, LineFeed)};
}

Writes SetHeadParameter(std::uint8_t n) {
    return {std::string{'\x1D', '\x43', static_cast<char>(n)}, std::string(1, LineFeed)};
}

Writes PrintEffectTest(ChannelKind channel) {
    Writes writes;
    writes.reserve(EffectTestLineCount + 1);
    for (const std::string& line : EffectTestLines())
        writes.push_back(line + LineFeed);
    // The parallel port has always had one more feed after the last line.
    if (channel == ChannelKind::Parallel)
        writes.emplace_back(1, LineFeed);
    return writes;
}

std::optional<std::uint8_t> parseHeadParameter(QStringView text) {
    QStringView digits = text.trimmed();
    // A leading plus sign is read as the form's numeric conversion reads it.
    if (digits.startsWith(u'+'))
        digits = digits.mid(1);
    if (digits.isEmpty())
        return std::nullopt;
    int value = 0;
    for (const QChar c : digits) {
        // Only ASCII digits: other scripts' digits are not what the printer means.
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
        if (value > MaxHeadParameter)
            return std::nullopt;
    }
    return static_cast<std::uint8_t>(value);
}

} // namespace headadjust
