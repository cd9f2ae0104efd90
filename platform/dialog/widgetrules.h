#pragma once

// Small rules the three tools' windows share beyond the dialog templates:
// combo boxes that only the focused one answers the wheel, message boxes that
// show their text as written, Qt's own texts in the tools' language, and the
// fonts the windows prefer.

#include <QMessageBox>
#include <QString>

#include <functional>
#include <memory>

class QComboBox;
class QCoreApplication;
class QFont;

namespace dialog {

// The mouse wheel over a combo box changes it only while it has the focus; a
// wheel passing over an unfocused box changes nothing (it would otherwise
// pick another port or rate on its way). The wheel no longer gives it focus.
void ignoreWheelUnlessFocused(QComboBox& combo);

// A message box whose text is plain text: what a user typed is shown as typed,
// never read as markup.
[[nodiscard]] std::unique_ptr<QMessageBox> makeMessageBox(QWidget* owner, QMessageBox::Icon icon,
                                                          const QString& title, const QString& text,
                                                          QMessageBox::StandardButtons buttons);

// The widget's tooltip is made anew by tip() each time it is about to show,
// so it never tells something that has changed since (a port map file).
// Returns the watcher, which the widget owns; deleting it ends the refresh
// (for an owner of tip() that may go before the widget).
QObject* refreshToolTipOnShow(QWidget& widget, std::function<QString()> tip);

// Loads Qt's own Chinese texts (buttons of message boxes, edit menus, file
// dialogs) into the application. False when the translations are not
// installed; the tools then work with Qt's English texts.
bool installQtTranslations(QCoreApplication& app);

// The faces a template font falls back to, after the template's own: CJK
// faces for the text, then a face that has the control pictures (the CR and
// LF symbols an edit area shows for lone line ends).
[[nodiscard]] QStringList fallbackFamilies();

} // namespace dialog
