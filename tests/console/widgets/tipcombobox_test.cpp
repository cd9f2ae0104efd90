// TipComboBox: the tip shows an entry only when it does not fit, over the
// field and over the open list, and goes when the mouse leaves.
#include "console/widgets/tipcombobox.h"
#include "tests/console/widgets/paintprobe.h"

#include <QAbstractItemView>
#include <QCursor>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QString ShortPath = QStringLiteral("a.txt");
const QString LongPath =
    QStringLiteral("/home/quorvane/文档/票据/很长的文件夹名字/another/folder/receipt-80mm.txt");

class TipComboBoxTest : public ::testing::Test {
public:
    void SetUp() override {
        host.showActive();
        combo.setEditable(true);
        combo.addItems({ShortPath, LongPath, QString()});
        combo.setGeometry(10, 10, 150, 22);
        combo.show();
        other.move(10, 100);
        other.show();
        other.setFocus();
    }
    // The mouse, moved to a point of a widget: the cursor, and the move
    // the widget is told of.
    static void moveTo(QWidget* w, QPoint p) {
        const QPoint global = w->mapToGlobal(p);
        QCursor::setPos(global);
        QMouseEvent move(QEvent::MouseMove, p, global, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &move);
    }
    [[nodiscard]] QPoint fieldPoint() const { return combo.fieldRect().center(); }

    probe::Host host;
    TipComboBox combo{&host};
    QLineEdit other{&host};
};

} // namespace

TEST_F(TipComboBoxTest, TheFieldShowsTheWholeTextOnlyWhenItDoesNotFit) {
    const struct {
        const char* name;
        int index;
        bool shown;
    } cases[] = {{"fits", 0, false}, {"too wide", 1, true}, {"empty slot", 2, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        combo.setCurrentIndex(c.index);
        moveTo(combo.lineEdit(), combo.lineEdit()->rect().center());
        EXPECT_EQ(combo.fieldTip().isShown(), c.shown);
        if (c.shown) {
            ASSERT_NE(combo.fieldTip().window(), nullptr);
            EXPECT_EQ(combo.fieldTip().text(), LongPath);
            EXPECT_TRUE(combo.fieldTip().isTracking());
            // Over the field's text: one pixel right and three down of its corner.
            EXPECT_EQ(combo.fieldTip().window()->pos(),
                      combo.mapToGlobal(combo.fieldRect().topLeft() + QPoint(1, 3)));
            EXPECT_GT(combo.fieldTip().window()->width(), combo.fieldRect().width());
            // Not focused: the window colours.
            EXPECT_EQ(combo.fieldTip().window()->palette().color(QPalette::Window), probe::Base);
        }
    }
}

TEST_F(TipComboBoxTest, TheTipGoesWhenTheMouseLeavesTheField) {
    combo.setCurrentIndex(1);
    combo.setFocus();
    moveTo(combo.lineEdit(), {10, 10});
    ASSERT_TRUE(combo.fieldTip().isShown());
    // Focused: the highlight colours.
    EXPECT_EQ(combo.fieldTip().window()->palette().color(QPalette::Window), probe::Highlight);
    EXPECT_EQ(combo.fieldTip().window()->palette().color(QPalette::WindowText),
              probe::HighlightedText);
    combo.fieldTip().tick(); // still over the field
    EXPECT_TRUE(combo.fieldTip().isShown());

    QCursor::setPos(other.mapToGlobal(QPoint(2, 2)));
    combo.fieldTip().tick();
    EXPECT_FALSE(combo.fieldTip().isShown());
    EXPECT_FALSE(combo.fieldTip().isTracking());

    // The drop button is no part of the field.
    const QRect field = combo.fieldRect();
    ASSERT_LT(field.right(), combo.width() - 1);
    combo.mouseMovedTo({field.left() + 5, field.center().y()});
    EXPECT_TRUE(combo.fieldTip().isShown());
    combo.mouseMovedTo({combo.width() - 3, field.center().y()});
    EXPECT_FALSE(combo.fieldTip().isShown());
}

TEST_F(TipComboBoxTest, TheOpenListShowsEachEntryThatDoesNotFit) {
    EXPECT_EQ(combo.listTips(), nullptr);
    combo.showPopup();
    ASSERT_NE(combo.listTips(), nullptr);
    QAbstractItemView* list = combo.view();
    ASSERT_TRUE(list->isVisible());
    TrackingTip& tip = combo.listTips()->tip();

    // An entry's item is as wide as its text; the list shows what fits.
    const QRect longEntry =
        list->visualRect(combo.model()->index(1, 0)).intersected(list->viewport()->rect());
    ASSERT_LT(longEntry.width(), list->fontMetrics().horizontalAdvance(LongPath));
    moveTo(list->viewport(), longEntry.center());
    ASSERT_TRUE(tip.isShown());
    EXPECT_EQ(tip.text(), LongPath);
    EXPECT_EQ(tip.window()->pos(), list->viewport()->mapToGlobal(longEntry.topLeft()));
    EXPECT_EQ(tip.window()->palette().color(QPalette::Window),
              list->palette().color(QPalette::Highlight));

    for (int fits : {0, 2}) {
        const QRect entry = list->visualRect(combo.model()->index(fits, 0));
        moveTo(list->viewport(), entry.center());
        EXPECT_FALSE(tip.isShown()) << fits;
    }

    // A closed list takes its tip with it at the next tick.
    moveTo(list->viewport(), longEntry.center());
    ASSERT_TRUE(tip.isShown());
    combo.hidePopup();
    tip.tick();
    EXPECT_FALSE(tip.isShown());
}
