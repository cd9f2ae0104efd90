#pragma once

// Halmbrook's one window: the black-mark settings, the two ticket samples,
// Set (compute and send the two position commands), Test (the test print on
// the port Set opened) and Exit. Controls are addressed by their ids.

#include "blackmark/core/blackmarkcommand.h"
#include "blackmark/core/serialport.h"
#include "platform/dialog/templatedialog.h"

#include <chrono>
#include <cstdint>
#include <functional>

namespace dialog {
class Prompter;
} // namespace dialog

namespace halmbrook {

namespace id {
enum : int {
    Ok = 1,
    Cancel = 2,
    About = 16, // the About command, as the Windows tool had in its system menu
    Set = 1000,
    Test = 1001,
    Sample1 = 1002,
    Sample2 = 1003,
    StartOffset = 1004,
    CutOffset = 1005,
    TicketLength = 1006,
    Port = 1007,
    Display = 1008,
    StartError = 1009,
    CutError = 1010,
};
} // namespace id

class BlackMarkDialog : public dialog::TemplateDialog {
public:
    using WaitFn = std::function<void(std::chrono::milliseconds)>;

    explicit BlackMarkDialog(dialog::Prompter& prompter, QWidget* parent = nullptr);
    ~BlackMarkDialog() override;

    // Controls to fields in the order 1004, 1005, sample, 1006, 1007, 1009,
    // 1010, stopping at the first field that is not an integer: that one is
    // prompted for and selected, it and the later fields keep their values,
    // and the result is false.
    bool readControls();
    void writeControls();

    // Button 1000: read the fields, open the chosen port, send both commands
    // and show them.
    void onSetClicked();
    // Button 1001: the test print on the port as Set left it.
    void onTestClicked();
    void showAbout();

    // Any control of the registry, radio buttons included.
    [[nodiscard]] QWidget* item(int id) const;

    [[nodiscard]] const BlackMarkSettings& fields() const { return m_fields; }
    [[nodiscard]] SerialPort& port() { return m_port; }
    // How Test waits between its steps; unless replaced, a wait that keeps
    // the window alive and ends early on Cancel.
    void setWaitFunction(WaitFn wait) { m_wait = std::move(wait); }

    void onCommand(int id, dialog::Notify code) override;
    // Enter: read and check every field, close when all are valid.
    void accept() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void fitStatics();
    bool readNumber(int id, std::int32_t& field);
    QString portTip() const;

    dialog::Prompter& m_prompter;
    BlackMarkSettings m_fields;
    SerialPort m_port;
    // Writes to m_port on its own thread; declared after the port so that it
    // ends before the port closes.
    platform::WriteWorker m_writer;
    WaitFn m_wait;
};

// The About box: icon, name and version, OK.
class AboutDialog : public dialog::TemplateDialog {
public:
    explicit AboutDialog(QWidget* parent = nullptr);
    void onCommand(int id, dialog::Notify code) override;
};

// The picture of an image resource of Halmbrook (the two samples, the icon).
[[nodiscard]] QPixmap halmbrookImage(int resourceId, QSize size);

} // namespace halmbrook
