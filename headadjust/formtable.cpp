#include "headadjust/formtable.h"

#include <QtMath>

#include <array>

namespace headadjust {
namespace {

using K = ControlKind;

// Disconnect, Prn and Command3 belong to the form and lie over the frames.
constexpr std::array<ControlEntry, 21> Controls = {{
    {"Frame1", K::Frame, "mainform", u"选择端口", {120, 240, 2055, 2415}, 0, true},
    {"Frame2", K::Frame, "mainform", u"", {2280, 0, 3255, 2655}, 6, true},
    {"Frame3", K::Frame, "Frame2", u"机头参数设置", {120, 720, 1695, 1335}, 10, false},
    {"Option1", K::OptionButton, "Frame1", u"串口", {120, 240, 735, 255}, 1, true},
    {"Option2", K::OptionButton, "Frame1", u"并口", {120, 1080, 735, 255}, 2, true},
    {"Port", K::ComboBox, "Frame1", u"COM1", {840, 360, 1095, 300}, 3, false},
    {"Speed", K::ComboBox, "Frame1", u"9600", {840, 720, 1095, 300}, 4, false},
    {"LPort", K::ComboBox, "Frame1", u"LPT1", {840, 1320, 1095, 300}, 5, false},
    {"NT", K::CommandButton, "Frame1", u"连接", {120, 1800, 855, 375}, 14, true},
    {"Label1", K::Label, "Frame3", u"n值", {120, 240, 855, 255}, 11, false},
    {"Combo1", K::ComboBox, "Frame3", u"4", {120, 480, 1095, 300}, 12, false},
    {"test", K::CommandButton, "Frame2", u"效果测试", {240, 2160, 1095, 375}, 20, false},
    {"et", K::CommandButton, "Frame2", u"退出", {1920, 2160, 1095, 375}, 13, true},
    {"Label2", K::Label, "Frame2", u"操作:", {1920, 240, 1215, 255}, 15, true},
    {"Label3", K::Label, "Frame2", u"1.连接端口", {1920, 480, 1215, 255}, 16, true},
    {"Label4", K::Label, "Frame2", u"2.执行可选参数效果打印", {1920, 720, 1215, 375}, 17, true},
    {"Label5", K::Label, "Frame2", u"3.根据效果进行参数调整", {1920, 1200, 1215, 375}, 18, true},
    {"Label6", K::Label, "Frame2", u"4.调整后进行效果测试", {1920, 1680, 1215, 375}, 19, true},
    {"Disconnect", K::CommandButton, "mainform", u"断开", {1200, 2040, 855, 375}, 8, false},
    {"Prn", K::CommandButton, "mainform", u"可选参数效果打印", {2400, 240, 1695, 375}, 7, false},
    {"Command3", K::CommandButton, "mainform", u"参数调整", {2520, 1560, 1095, 375}, 9, false},
}};

} // namespace

std::span<const ControlEntry> formControls() {
    return Controls;
}

int twipsToPixels(int twips, double dotsPerInch) {
    return qRound(twips / 15.0 * dotsPerInch / 96.0);
}

QRect twipsToPixels(const QRect& twips, double dotsPerInch) {
    // Edges are converted, not sizes, so neighbours that touch in twips touch on screen.
    const int left = twipsToPixels(twips.x(), dotsPerInch);
    const int top = twipsToPixels(twips.y(), dotsPerInch);
    const int right = twipsToPixels(twips.x() + twips.width(), dotsPerInch);
    const int bottom = twipsToPixels(twips.y() + twips.height(), dotsPerInch);
    return {left, top, right - left, bottom - top};
}

} // namespace headadjust
