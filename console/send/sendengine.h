#pragma once

// The console's send engine: the Send button and the menu's "发送(&S)", single
// sends and timed runs of numbered copies (timer 1 sends the next copy, timer
// 3 animates the busy state), sheets per send, the automatic cut with the
// cut command, and the controls that shape a send (hex sending, timed
// sending, numbering, interval, sheets, the send text). Every byte goes
// through the connection's one write path (ConnectionPanel::writer()).

#include "console/app/dispatch.h"
#include "console/send/printercommands.h"
#include "console/send/sendjob.h"
#include "platform/dialog/edittext.h"

#include <string>

class ConnectionPanel;
class ConsoleForm;
class QString;

class SendEngine {
public:
    SendEngine(ConsoleForm& form, ConnectionPanel& connection);
    SendEngine(const SendEngine&) = delete;
    SendEngine& operator=(const SendEngine&) = delete;

    void registerCommands(CommandTable& table);

    // The check boxes' handlers, which the settings load runs too.
    void onHexSendClicked();
    void onTimedSendClicked();
    void onNumberingClicked();

    // A run ends one of three ways:
    //  stopRun    the person stops it (Send again, or "定时发送" turned off):
    //             both timers stop, the button, the window icon and the link
    //             image return to rest; no cut.
    //  finishRun  the last copy has gone out (timer 1): the cut when
    //             "自动切纸" is on, timer 1 stops, the button and the link
    //             image return to rest; the animation ends at its next frame.
    //  endRun     the link is gone (a disconnect or a failed connect): both
    //             timers stop, the button returns to rest and the animation
    //             frames are hidden, leaving the status image to the
    //             disconnect; no cut. Nothing happens when no run is active.
    void endRun();

    // The Send button at rest ("发送") and busy (a caption, the stop icon and tip).
    void setButtonIdle();
    void setButtonBusy(const QString& caption);

    [[nodiscard]] SendJob& job() { return m_job; }
    [[nodiscard]] std::string& cutCommand() { return m_cutCommand; }

private:
    void onSendClicked();
    void onSendTimer();
    void onAnimationTimer();
    void onIntervalChanged();
    void onSheetsChanged();
    void onSendAreaChanged();
    void readSendArea();
    void startRun();
    void stopRun();
    void finishRun();
    void showIdleImages();
    void setButtonLook(const QString& caption, int iconId, const QString& tip);
    void sendCopySheets();
    void sendOneCopy(const std::string& copy, bool hex);
    void sendCutCommand();
    [[nodiscard]] bool isChecked(int id) const;

    ConsoleForm& m_form;
    ConnectionPanel& m_connection;
    SendJob m_job;
    std::string m_cutCommand{printercommands::DefaultCutCommand};
    edittext::PausedRead m_sendAreaRead{[this] { readSendArea(); }};
};
