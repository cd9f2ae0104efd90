// CStaticLink: its colours at rest, under the mouse and once opened, and
// what a click opens.
#include "console/widgets/staticlink.h"
#include "tests/console/widgets/paintprobe.h"

#include <QAccessible>
#include <QCursor>
#include <QEnterEvent>
#include <QTest>
#include <gtest/gtest.h>

#include <vector>

namespace {

const QString Caption = QStringLiteral("来信提出意见和建议");

class StaticLinkTest : public ::testing::Test {
public:
    void SetUp() override {
        host.showActive();
        QFont f = link.font();
        f.setStyleStrategy(QFont::NoAntialias);
        link.setFont(f);
        link.setText(Caption);
        link.setGeometry(10, 10, 200, 20);
        link.show();
        link.setOpener([this](const QString& target) {
            opened.push_back(target);
            return opens;
        });
    }
    // How many pixels of the text are in each colour.
    [[nodiscard]] int pixels(const QColor& c) { return probe::count(probe::render(link), c); }
    void enter() {
        QCursor::setPos(link.mapToGlobal(QPoint(5, 5)));
        QEnterEvent e(QPointF(5, 5), QPointF(5, 5), link.mapToGlobal(QPointF(5, 5)));
        QApplication::sendEvent(&link, &e);
    }

    probe::Host host;
    CStaticLink link{QStringLiteral("mailto:"), &host};
    std::vector<QString> opened;
    bool opens = true;
};

} // namespace

TEST_F(StaticLinkTest, BlueAtRestRedUnderTheMouseBlueOnceItLeaves) {
    EXPECT_GT(pixels(CStaticLink::Unvisited), 20);
    EXPECT_EQ(pixels(CStaticLink::Hover), 0);

    enter();
    EXPECT_GT(pixels(CStaticLink::Hover), 20);
    EXPECT_EQ(pixels(CStaticLink::Unvisited), 0);
    link.hoverTick(); // the mouse is still there
    EXPECT_EQ(link.colour(), CStaticLink::Hover);

    QCursor::setPos(host.mapToGlobal(QPoint(300, 250)));
    link.hoverTick();
    EXPECT_GT(pixels(CStaticLink::Unvisited), 20);
    EXPECT_EQ(pixels(CStaticLink::Hover), 0);
    EXPECT_EQ(link.cursor().shape(), Qt::PointingHandCursor);
}

TEST_F(StaticLinkTest, AClickOpensTheTargetAndTurnsItPurple) {
    QTest::mouseClick(&link, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(opened, std::vector<QString>{QStringLiteral("mailto:")});
    EXPECT_GT(pixels(CStaticLink::Visited), 20);

    // A target the desktop cannot open leaves the colour as it was.
    CStaticLink plain(QString(), &host);
    plain.setText(Caption);
    plain.setOpener([this](const QString& target) {
        opened.push_back(target);
        return false;
    });
    plain.open();
    EXPECT_EQ(opened.back(), Caption); // no link text: the label's own
    EXPECT_EQ(plain.colour(), CStaticLink::Unvisited);
}

TEST_F(StaticLinkTest, ScreenReadersReadItsText) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(&link);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->text(QAccessible::Name), Caption);
}
