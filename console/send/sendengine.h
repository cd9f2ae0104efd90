#pragma once

// The console's send engine: the Send button and the menu's "发送(&S)", single
// sends and timed runs of numbered copies (timer 1 sends the next copy, timer
// 3 animates the busy state), sheets per send, the automatic cut with the
// cut command, and the controls that shape a send (hex sending, timed
// sending, numbering, interval, sheets, the send text). Every byte goes
// through the connection's one write path (ConnectionPanel::writer()).
//
// Writes run off the window's thread, so each step that follows a write in
// the run's sequence waits for the writer's report that the write has ended:
// a single send is busy until its copy and cut have gone out, and a timed
// run's next copy (timer 1) is due an interval after the last one ended, so
// copies never overlap. While writes run long, the Send button shows their
// progress and stops them.

#include "console/app/dispatch.h"
#include "console/link/linkwriter.h"
#include "console/send/printercommands.h"
#include "console/send/sendjob.h"
#include "platform/dialog/edittext.h"

#include <QMetaObject>

#include <array>
#include <functional>
#include <string>

class ConnectionPanel;
class ConsoleForm;
class QString;

class SendEngine {
public:
    SendEngine(ConsoleForm& form, ConnectionPanel& connection);
    ~SendEngine();
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
    // While writes run long: the busy caption with the bytes sent of the total.
    void showWriteProgress(qint64 sent, qint64 total);

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
    LinkWriter::Ticket sendCopySheets();
    LinkWriter::Ticket sendOneCopy(const std::string& copy, bool hex);
    LinkWriter::Ticket sendCutCommand();
    // Runs next once the hand-over has ended (at once when nothing was handed over).
    void afterWrites(LinkWriter::Ticket ticket, std::function<void()> next);
    void onWritesEnded(LinkWriter::Ticket ticket);
    void onWriterIdle();
    // Stops the writes and forgets what was to follow them.
    void stopWrites();
    void endSingleSend();
    void onCopyWritten();
    [[nodiscard]] QString busyCaption() const;
    [[nodiscard]] bool isChecked(int id) const;

    ConsoleForm& m_form;
    ConnectionPanel& m_connection;
    SendJob m_job;
    bool m_singleSend = false;           // a single send's writes are going out
    LinkWriter::Ticket m_waitingFor = 0; // the hand-over the next step waits for
    std::function<void()> m_next;
    bool m_progressShown = false; // the button shows the writes' progress
    std::array<QMetaObject::Connection, 3> m_writerLinks;
    std::string m_cutCommand{printercommands::DefaultCutCommand};
    edittext::PausedRead m_sendAreaRead{[this] { readSendArea(); }};
};
