#include "platform/codepage.h"
#include "platform/dialog/dialogtemplate.h"
#include "platform/dialog/templatedialog.h"
#include "platform/dialog/widgetrules.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRawFont>
#include <QTextLayout>
#include <QWheelEvent>
#include <gtest/gtest.h>

using namespace dialog;

namespace {

DialogTemplate comboDialog() {
    auto t = parseDialogTemplate(QStringView(uR"T(DIALOG 7 200 100
CAPTION "样例"
EDIT     13 "" 10 4 80 12
COMBOBOX 15 "" 10 20 60 12 ITEMS "300" "600" "1200"
COMBOBOX 16 "" 10 40 60 12 DROPDOWN ITEMS "COM1" "LPT1"
)T"));
    EXPECT_TRUE(t.has_value());
    return t.value_or(DialogTemplate{});
}

void wheel(QWidget* w, int notches) {
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    QWheelEvent event(at, w->mapToGlobal(at), QPoint(), QPoint(0, -120 * notches), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &event);
}

} // namespace

TEST(WidgetRules, TheWheelChangesOnlyAFocusedComboBox) {
    TemplateDialog dialog(comboDialog(), {});
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    for (const int id : {15, 16}) {
        QComboBox* combo = dialog.comboBox(id);
        ASSERT_NE(combo, nullptr);
        combo->setCurrentIndex(0);
        dialog.lineEdit(13)->setFocus();
        wheel(combo, 1);
        EXPECT_EQ(combo->currentIndex(), 0) << "a wheel passing over box " << id;
        EXPECT_FALSE(combo->hasFocus()) << "the wheel does not take the focus to " << id;

        combo->setFocus();
        ASSERT_TRUE(combo->hasFocus());
        wheel(combo, 1);
        EXPECT_EQ(combo->currentIndex(), 1) << "the focused box " << id << " still scrolls";
    }
}

TEST(WidgetRules, MessageBoxesShowTheirTextAsWritten) {
    const QString typed = QStringLiteral("“<b>96</b>”不是可用的波特率");
    auto box =
        makeMessageBox(nullptr, QMessageBox::Warning, QStringLiteral("t"), typed, QMessageBox::Ok);
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_EQ(box->text(), typed);
}

TEST(WidgetRules, QtsOwnTextsAreChinese) {
    ASSERT_TRUE(installQtTranslations(*QCoreApplication::instance()))
        << "Qt's Chinese translations (qt6-translations-l10n) are missing";
    auto box =
        makeMessageBox(nullptr, QMessageBox::Question, QStringLiteral("t"), QStringLiteral("?"),
                       QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Yes | QMessageBox::No);
    const struct {
        QMessageBox::StandardButton button;
        const char16_t* text;
    } buttons[] = {{QMessageBox::Ok, u"确定"},
                   {QMessageBox::Cancel, u"取消"},
                   {QMessageBox::Yes, u"是"},
                   {QMessageBox::No, u"否"}};
    for (const auto& b : buttons) {
        ASSERT_NE(box->button(b.button), nullptr);
        EXPECT_TRUE(box->button(b.button)->text().contains(QString::fromUtf16(b.text)))
            << box->button(b.button)->text().toStdString();
    }
    // The edit areas' menus.
    QLineEdit edit;
    std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList texts;
    for (const QAction* action : menu->actions())
        if (!action->isSeparator())
            texts << action->text();
    EXPECT_TRUE(texts.join(u' ').contains(QStringLiteral("复制")))
        << texts.join(u' ').toStdString();
    for (const QString& text : texts)
        EXPECT_FALSE(text.contains(QStringLiteral("Copy")) ||
                     text.contains(QStringLiteral("Paste")))
            << text.toStdString();
}

TEST(WidgetRules, ThePreferredFacesDrawTheControlPictures) {
    // Lone CR and LF show as these two; a face of the windows' own list must
    // have them, or they look like the box of an unreadable byte.
    for (const char16_t symbol : {codepage::CrSymbol, codepage::LfSymbol}) {
        QString coveredBy;
        for (const QString& family : fallbackFamilies()) {
            const QRawFont raw = QRawFont::fromFont(QFont(family));
            if (raw.isValid() && raw.familyName() == family && raw.supportsCharacter(symbol)) {
                coveredBy = family;
                break;
            }
        }
        EXPECT_FALSE(coveredBy.isEmpty())
            << "no preferred face draws U+" << std::hex << static_cast<int>(symbol);
    }
    // And a window's font draws them with a real glyph.
    QTextLayout layout(QString(QChar(codepage::CrSymbol)) + QChar(codepage::LfSymbol),
                       templateFont({}, 9));
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    int glyphs = 0;
    for (const QGlyphRun& run : layout.glyphRuns()) {
        for (const quint32 index : run.glyphIndexes()) {
            EXPECT_NE(index, 0u) << "drawn as the missing-glyph box by "
                                 << run.rawFont().familyName().toStdString();
            ++glyphs;
        }
    }
    EXPECT_EQ(glyphs, 2);
}
