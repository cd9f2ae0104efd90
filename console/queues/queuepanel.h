#pragma once

// The panel "数据队列" and the insert row below the send area, as a part of
// the console. Ten queues, each a text and a HEX flag, are stored from the
// send area, sent on their own (with the automatic cut), cleared, inserted at
// the send area's caret or put in its place; the insert row puts a text into
// the send area a given number of times. The panel and the insert row take
// turns in one place: a switch shows one and hides the other.
//
// The rows' controls are dispatched through the row table ids::QueueRows.
// Sends go through the connection's one write path.

#include "console/app/dispatch.h"
#include "console/queues/dataqueues.h"

#include <cstddef>
#include <optional>

class ConnectionPanel;
class ConsoleForm;
class SendEngine;

class QueuePanel {
public:
    QueuePanel(ConsoleForm& form, ConnectionPanel& connection, SendEngine& send);
    QueuePanel(const QueuePanel&) = delete;
    QueuePanel& operator=(const QueuePanel&) = delete;

    void registerCommands(CommandTable& table);

    // The panel's state; the settings load and save it as showqueue.
    [[nodiscard]] DataQueues& queues() { return m_queues; }

    // Shows the panel or the insert row as the panel flag says, then the
    // focus and the caret at the end of the send area.
    void switchArrangement();

    // The operations, by queue index 0..9.
    void store(std::size_t queue);
    void send(std::size_t queue);
    void clearSelected();
    void insertSelected();
    void replaceWithSelected();
    void insertTimes();

private:
    void arrange(bool panelShown);
    // The queue the selector names, or nothing when its text names none.
    [[nodiscard]] std::optional<std::size_t> selectedQueue() const;
    // The send text with `edit`'s selection, into the window.
    void showSendText(const TextSelection& edit);
    [[nodiscard]] TextSelection sendSelection() const;

    ConsoleForm& m_form;
    ConnectionPanel& m_connection;
    SendEngine& m_send;
    DataQueues m_queues;
};
