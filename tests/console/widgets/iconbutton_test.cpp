// IconButton: the colour shift and the painting of each state.
#include "console/widgets/iconbutton.h"
#include "tests/console/widgets/paintprobe.h"

#include <QAccessible>
#include <QEnterEvent>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using probe::Host;

// A shift starting from a state colour, the colour it leaves and its answer.
struct ShiftCase {
    const char* name;
    QColor start;
    std::vector<int> offsets; // shifts in a row on the same colour
    int index;
    QColor expected;
    IconButton::ShiftResult result; // of the last shift
};

} // namespace

TEST(IconButtonShift, ShiftsAllThreeChannelsByTheSameCutDownOffset) {
    const ShiftCase cases[] = {
        {"cut at 255",
         {236, 233, 216},
         {30},
         IconButton::BackgroundOver,
         {255, 252, 235},
         IconButton::Shifted},
        {"a further shift cannot rise",
         {236, 233, 216},
         {30, 30},
         IconButton::BackgroundOver,
         {255, 252, 235},
         IconButton::Shifted},
        {"cut at 0",
         {10, 100, 200},
         {-30},
         IconButton::TextNormal,
         {0, 90, 190},
         IconButton::Shifted},
        {"whole steps",
         {100, 110, 120},
         {30, 30, 30},
         IconButton::BackgroundFocused,
         {190, 200, 210},
         IconButton::Shifted},
        {"steps up to the limit",
         {100, 110, 120},
         {30, 30, 30, 30, 30, 30},
         IconButton::TextFocused,
         {235, 245, 255},
         IconButton::Shifted},
        {"+255 from grey",
         {100, 100, 100},
         {255},
         IconButton::TextOver,
         {255, 255, 255},
         IconButton::Shifted},
        {"-255 from grey",
         {100, 100, 100},
         {-255},
         IconButton::BackgroundNormal,
         {0, 0, 0},
         IconButton::Shifted},
        {"black stays black",
         {0, 0, 0},
         {-1},
         IconButton::BackgroundNormal,
         {0, 0, 0},
         IconButton::Shifted},
        {"offset 256",
         {100, 100, 100},
         {256},
         IconButton::BackgroundOver,
         {100, 100, 100},
         IconButton::BadOffset},
        {"offset -256",
         {100, 100, 100},
         {-256},
         IconButton::BackgroundOver,
         {100, 100, 100},
         IconButton::BadOffset},
        {"index 6", {100, 100, 100}, {30}, 6, {}, IconButton::BadIndex},
        {"index -1", {100, 100, 100}, {30}, -1, {}, IconButton::BadIndex},
        {"bad index and offset", {100, 100, 100}, {300}, 6, {}, IconButton::BadIndex},
    };
    for (const ShiftCase& c : cases) {
        SCOPED_TRACE(c.name);
        // Every state colour starts as the face or the face's text colour.
        QWidget host;
        QPalette pal;
        pal.setColor(QPalette::Button, c.start);
        pal.setColor(QPalette::ButtonText, c.start);
        host.setPalette(pal);
        IconButton button(&host);
        IconButton::ShiftResult result = IconButton::Shifted;
        for (int offset : c.offsets)
            result = button.shiftColour(c.index, offset);
        EXPECT_EQ(result, c.result);
        if (c.result == IconButton::BadIndex)
            continue;
        EXPECT_EQ(button.colour(c.index), c.expected);
        // The other colours are left alone.
        for (int other = 0; other < IconButton::ColourCount; ++other) {
            if (other != c.index) {
                EXPECT_EQ(button.colour(other), c.start) << other;
            }
        }
    }
}

namespace {

enum class Act { Rest, Over, OverThenLeft, Pressed, Focused, Disabled };

using probe::Sample;

struct LookCase {
    const char* name;
    bool flat;
    bool isDefault;
    Act act;
    std::vector<Sample> samples;
};

const QColor Over{230, 230, 230};    // the face + 30
const QColor Focused{180, 180, 180}; // the face - 20
const QColor Black{0, 0, 0};

// 80 x 30 pixels; (5, 5) lies inside every border, clear of the caption.
std::unique_ptr<IconButton> makeButton(QWidget& host, const LookCase& c) {
    auto b = std::make_unique<IconButton>(&host);
    b->setText(QStringLiteral("发送"));
    b->setGeometry(10, 10, 80, 30);
    b->setFlat(c.flat);
    b->setDefault(c.isDefault);
    b->shiftColour(IconButton::BackgroundOver, 30);
    b->shiftColour(IconButton::BackgroundFocused, -20);
    QFont f = b->font();
    f.setStyleStrategy(QFont::NoAntialias);
    b->setFont(f);
    b->show();
    return b;
}

void act(IconButton& b, Act a) {
    const auto enter = [&b] {
        QEnterEvent e(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QApplication::sendEvent(&b, &e);
    };
    switch (a) {
    case Act::Rest:
        break;
    case Act::Over:
        enter();
        break;
    case Act::OverThenLeft: {
        enter();
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&b, &leave);
        break;
    }
    case Act::Pressed:
        b.setDown(true);
        break;
    case Act::Focused:
        b.setFocus();
        break;
    case Act::Disabled:
        b.setEnabled(false);
        break;
    }
}

} // namespace

TEST(IconButtonLook, EachStatePaintsItsBorderAndBackground) {
    using namespace probe;
    const LookCase cases[] = {
        {"flat at rest: no edge",
         true,
         false,
         Act::Rest,
         {{{0, 15}, Face}, {{79, 15}, Face}, {{40, 0}, Face}, {{5, 5}, Face}}},
        {"flat, mouse over: raised edge, over colour",
         true,
         false,
         Act::Over,
         {{{0, 15}, Light}, {{40, 0}, Light}, {{79, 15}, Dark}, {{40, 29}, Dark}, {{5, 5}, Over}}},
        {"flat, mouse gone again",
         true,
         false,
         Act::OverThenLeft,
         {{{0, 15}, Face}, {{79, 15}, Face}, {{5, 5}, Face}}},
        {"flat pressed: sunken edge",
         true,
         false,
         Act::Pressed,
         {{{0, 15}, Dark}, {{40, 0}, Dark}, {{79, 15}, Light}, {{40, 29}, Light}, {{5, 5}, Over}}},
        {"raised at rest: two-line border",
         false,
         false,
         Act::Rest,
         {{{0, 15}, Light},
          {{1, 15}, Midlight},
          {{79, 15}, Shadow},
          {{78, 15}, Dark},
          {{40, 29}, Shadow},
          {{40, 28}, Dark},
          {{5, 5}, Face}}},
        {"raised, mouse over: no change",
         false,
         false,
         Act::Over,
         {{{0, 15}, Light}, {{1, 15}, Midlight}, {{79, 15}, Shadow}, {{5, 5}, Face}}},
        {"raised pressed: shadow frame",
         false,
         false,
         Act::Pressed,
         {{{0, 15}, Dark}, {{79, 15}, Dark}, {{1, 15}, Over}, {{5, 5}, Over}}},
        {"raised default: black frame outside",
         false,
         true,
         Act::Rest,
         {{{0, 15}, Black},
          {{79, 15}, Black},
          {{1, 15}, Light},
          {{2, 15}, Midlight},
          {{78, 15}, Shadow},
          {{77, 15}, Dark},
          {{5, 5}, Face}}},
        {"raised focused: black frame, focused colour",
         false,
         false,
         Act::Focused,
         {{{0, 15}, Black}, {{1, 15}, Light}, {{5, 5}, Focused}}},
        {"flat focused: no frame, no focus rectangle",
         true,
         false,
         Act::Focused,
         {{{0, 15}, Focused}, {{5, 5}, Focused}, {{3, 15}, Focused}}},
    };
    for (const LookCase& c : cases) {
        SCOPED_TRACE(c.name);
        Host host;
        host.showActive();
        auto b = makeButton(host, c);
        act(*b, c.act);
        const QImage image = render(*b);
        expectSamples(image, c.samples);
    }
}

TEST(IconButtonLook, FocusRectangleAndEmbossedCaption) {
    using namespace probe;
    Host host;
    host.showActive();
    // A raised button with the focus: dots along the line three pixels in.
    LookCase raised{"", false, false, Act::Focused, {}};
    auto b = makeButton(host, raised);
    act(*b, Act::Focused);
    ASSERT_TRUE(b->hasFocus());
    QImage image = render(*b);
    EXPECT_GT(count(image, FaceText, QRect(3, 3, 1, 24)), 4);
    EXPECT_EQ(count(image, FaceText, QRect(4, 4, 1, 22)), 0);

    // Off: the caption in the light colour one pixel down and right, then in
    // the shadow colour; no text colour at all.
    b->clearFocus();
    act(*b, Act::Disabled);
    image = render(*b);
    const QRect caption(20, 6, 50, 18);
    EXPECT_GT(count(image, Dark, caption), 10);
    EXPECT_GT(count(image, Light, caption), 10);
    EXPECT_EQ(count(image, FaceText, caption), 0);
}

TEST(IconButtonLook, ANotFlatButtonIgnoresThePassingMouse) {
    probe::Host host;
    host.showActive();
    for (bool flat : {false, true}) {
        SCOPED_TRACE(flat ? "flat" : "raised");
        auto b = makeButton(host, {"", flat, false, Act::Rest, {}});
        const QImage before = probe::render(*b);
        act(*b, Act::Over);
        EXPECT_EQ(b->isMouseOver(), flat);
        EXPECT_EQ(probe::render(*b) == before, !flat);
    }
}

TEST(IconButtonLook, ScreenReadersStillSeeAPushButtonWithItsCaption) {
    probe::Host host;
    IconButton b(&host);
    b.setText(QStringLiteral("退出"));
    b.setAccessibleName(QStringLiteral("退出"));
    b.setIconResource(166);
    b.setTooltipText(QStringLiteral("退出程序"));
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(&b);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->role(), QAccessible::Button);
    EXPECT_EQ(a->text(QAccessible::Name), QStringLiteral("退出"));
    EXPECT_EQ(b.toolTip(), QStringLiteral("退出程序"));
    EXPECT_FALSE(b.icon().isNull());
    // An inactive tip keeps quiet.
    b.setTooltipText(QStringLiteral("退出程序"), false);
    EXPECT_TRUE(b.toolTip().isEmpty());
}
