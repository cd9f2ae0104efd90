#pragma once

// Ostrelle's one window. The operator picks a serial or parallel port,
// connects, prints the parameter effects, sets the head parameter n, prints
// the effect test, disconnects and exits. Each handler follows the steps of
// the original tool in their order; see mainform.cpp.

#include "headadjust/headcommands.h"
#include "headadjust/outputchannel.h"
#include "platform/writeworker.h"

#include <QWidget>

#include <cstdint>

class QComboBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

namespace headadjust {

class Messenger;

class MainForm : public QWidget {
    Q_OBJECT

public:
    // The messenger must outlive the form.
    explicit MainForm(Messenger& messenger, QWidget* parent = nullptr);
    ~MainForm() override;

    // Read-only views for whoever drives the window from outside (tests).
    [[nodiscard]] std::int16_t commPortNumber() const { return m_commPortNumber; }
    [[nodiscard]] const QString& speedText() const { return m_speedText; }
    [[nodiscard]] const OutputChannel& channel() const { return m_channel; }

protected:
    void showEvent(QShowEvent* event) override;
    // Enter on a focused button clicks it.
    void keyPressEvent(QKeyEvent* event) override;
    // Closing the window releases the port at once, not when the program ends.
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void load();
    void selectSerial();
    void selectParallel();
    void connectPort();
    void disconnectPort();
    void printParameterEffects();
    void setHeadParameter();
    void printEffectTest();

    void openParallel();
    void openSerial();
    // Sends the writes in order on the output channel, off the window's
    // thread (see dialog::WriteProgress); says so when there is no channel or
    // a write fails, and stops there.
    void send(const Writes& writes);
    void tell(const QString& text);

    Messenger& m_messenger;
    OutputChannel m_channel;
    // Writes to m_channel on its own thread; declared after the channel so
    // that it ends before the channel closes.
    platform::WriteWorker m_writer;
    QString m_portName; // the port the channel was opened on, for messages
    std::int16_t m_commPortNumber = 0;
    QString m_speedText;
    bool m_shownOnce = false;

    QGroupBox* m_frame3 = nullptr;
    QRadioButton* m_option1 = nullptr;
    QRadioButton* m_option2 = nullptr;
    QComboBox* m_port = nullptr;
    QComboBox* m_speed = nullptr;
    QComboBox* m_lport = nullptr;
    QComboBox* m_combo1 = nullptr;
    QPushButton* m_nt = nullptr;
    QPushButton* m_disconnect = nullptr;
    QPushButton* m_prn = nullptr;
    QPushButton* m_command3 = nullptr;
    QPushButton* m_test = nullptr;
    QPushButton* m_et = nullptr;
};

} // namespace headadjust
