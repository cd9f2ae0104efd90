#pragma once

// A dialog built from a DialogTemplate. Every control is a child of the
// client area, placed at its template rectangle (dialog units times
// pixelsPerUnit(), and times the template's font size over 9 pt), named "c<id>" and registered
// under its id, so handlers, show/enable rules and tests all address controls the same way.
//
// Events come back as commands, the way a resource-script dialog sees them:
// onCommand(id, Notify) for button clicks, user selection changes of combo
// boxes, edit text changes and menu commands; onTimer(id) for the window's
// timers. Subclasses override those two and switch on the id.

#include "platform/dialog/dialogtemplate.h"

#include <QBasicTimer>
#include <QDialog>
#include <QPixmap>

#include <functional>
#include <map>
#include <span>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace dialog {

enum class Notify { Clicked, SelChange, EditChange, Menu };

// Pixels per dialog unit of a 9 pt dialog: 1.5 at 96 DPI, scaled with the
// screen's logical DPI.
[[nodiscard]] double pixelsPerUnit(const QWidget* onScreenOf = nullptr);
// A rectangle in dialog units in pixels: each edge is rounded on its own, so
// controls that share an edge in the template share it on the screen.
[[nodiscard]] QRect toPixels(const QRect& dialogUnits, double unit);
// The fonts a template family name stands for, CJK fallbacks included.
[[nodiscard]] QFont templateFont(const QString& family, int pointSize);
// Template rectangles were sized for the Windows song face; a CJK face with
// taller lines may need a slightly smaller size to show the whole text. Makes
// the label's font smaller by half points (to 6.5 pt at least) until its text
// fits the room inside its frame and margin.
void fitText(QLabel& label);

class TemplateDialog : public QDialog {
public:
    // Draws the picture of an image resource at the given size.
    using ImageSource = std::function<QPixmap(int resourceId, QSize size)>;
    // Makes the widget of a control that a dialog draws with a class of its
    // own: a subclass of the kind's usual widget (QPushButton, QLineEdit or
    // QPlainTextEdit, QComboBox, QLabel), parented to `parent`. nullptr
    // keeps the usual widget. Either way the dialog then sets the control up
    // from its template (caption, items, flags) as usual.
    using ControlFactory = std::function<QWidget*(const ControlTemplate& control, QWidget* parent)>;

    TemplateDialog(const DialogTemplate& layout, ImageSource images, QWidget* parent = nullptr,
                   ControlFactory controls = {});
    ~TemplateDialog() override;

    // The control registry.
    [[nodiscard]] QWidget* control(int id) const;
    [[nodiscard]] QPushButton* button(int id) const;
    [[nodiscard]] QCheckBox* checkBox(int id) const;
    [[nodiscard]] QRadioButton* radioButton(int id) const;
    [[nodiscard]] QComboBox* comboBox(int id) const;
    [[nodiscard]] QLineEdit* lineEdit(int id) const; // single-line edits and IP address controls
    [[nodiscard]] QPlainTextEdit* textEdit(int id) const;
    [[nodiscard]] QLabel* label(int id) const; // statics and images
    [[nodiscard]] const ControlTemplate* controlTemplate(int id) const;
    [[nodiscard]] const DialogTemplate& layoutTemplate() const { return m_template; }

    // Show/hide or enable/disable the controls with the given ids, in order;
    // unknown ids are skipped.
    void showControls(std::span<const int> ids, bool visible);
    void enableControls(std::span<const int> ids, bool enabled);
    void showControls(std::initializer_list<int> ids, bool visible) {
        showControls(std::span<const int>(ids.begin(), ids.size()), visible);
    }
    void enableControls(std::initializer_list<int> ids, bool enabled) {
        enableControls(std::span<const int>(ids.begin(), ids.size()), enabled);
    }
    void showControl(int id, bool visible) { showControls({id}, visible); }
    void enableControl(int id, bool enabled) { enableControls({id}, enabled); }
    // Visible as far as the dialog is concerned (not the screen).
    [[nodiscard]] bool isShown(int id) const;
    [[nodiscard]] bool isEnabled(int id) const;

    // Check boxes and radio buttons by id; an id that is neither reads as
    // unchecked and is left alone.
    [[nodiscard]] bool isChecked(int id) const;
    void setChecked(int id, bool checked);
    void toggleCheck(int id);

    // The caption of a button, check box, static or group box; buttons and
    // check boxes keep their accessible name equal to it.
    void setCaption(int id, const QString& caption);
    [[nodiscard]] QString caption(int id) const;

    // Replace the picture of an image control with image resource resourceId.
    void setImage(int id, int resourceId);

    // Attach the menu of a template as the dialog's menu bar.
    void setMenuTemplate(const MenuTemplate& menu);
    [[nodiscard]] QMenuBar* menuBar() const { return m_menuBar; }
    [[nodiscard]] QAction* menuAction(int commandId) const;

    // Window timers. Starting a running id restarts it with the new period.
    void startWindowTimer(int id, int milliseconds);
    void stopWindowTimer(int id);
    [[nodiscard]] bool isWindowTimerActive(int id) const;

    [[nodiscard]] QWidget* clientArea() const { return m_client; }
    // Pixels per dialog unit of this dialog, for controls placed at run time.
    [[nodiscard]] double unit() const { return m_unit; }

    // Routed events; public so tests and other parts can drive them directly.
    virtual void onCommand(int id, Notify code);
    virtual void onTimer(int id);

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    QWidget* create(const ControlTemplate& c);
    void wire(const ControlTemplate& c, QWidget* w);

    template <class Widget> Widget* make(const ControlTemplate& c);

    DialogTemplate m_template;
    ImageSource m_images;
    ControlFactory m_controlFactory;
    QWidget* m_client = nullptr;
    QMenuBar* m_menuBar = nullptr;
    double m_unit = 1.5;
    std::map<int, QWidget*> m_controls;
    std::map<int, QAction*> m_menuActions;
    std::map<int, QBasicTimer> m_timers;
};

} // namespace dialog
