#pragma once

// The printer's intake: its endpoints, the one decoder they feed and the
// replies. Bytes are read and decoded on the endpoints' threads, so a busy
// window never holds a client up or loses a byte; the window takes the
// decoded items in batches on its own thread (itemsReady, takeItems) and
// renders them there. Status requests are answered at once from the status
// the window last set.

#include "printer/core/decoder.h"
#include "printer/core/endpoint.h"
#include "printer/core/printerstatus.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace posprinter {

class PrinterSession : public QObject {
    Q_OBJECT
public:
    explicit PrinterSession(QObject* parent = nullptr);
    ~PrinterSession() override;

    // A pseudo-terminal; with a link path, a symbolic link to its slave there.
    bool openPty(const QString& linkPath, QString* error);
    // A TCP listener, one client at a time.
    bool listenTcp(const QString& host, quint16 port, QString* error);
    // Starts reading on every endpoint opened.
    void start();
    // Stops reading; items already decoded stay to be taken.
    void stop();

    [[nodiscard]] QString ptyPath() const;
    [[nodiscard]] QString linkPath() const { return m_linkPath; }
    [[nodiscard]] QString tcpAddress() const; // "127.0.0.1:9100", empty without TCP
    [[nodiscard]] Endpoint* ptyEndpoint() const { return m_pty.get(); }
    [[nodiscard]] Endpoint* tcpEndpoint() const { return m_tcp.get(); }
    [[nodiscard]] bool tcpClientConnected() const;

    // The items decoded since the last call, in stream order.
    [[nodiscard]] std::vector<DecodedItem> takeItems();
    // Ends the stream: a command still waiting for its bytes becomes an
    // Incomplete item (used when the program stops).
    void finish();

    [[nodiscard]] PrinterStatus status() const;
    void setStatus(const PrinterStatus& status);
    [[nodiscard]] std::uint64_t bytesReceived() const { return m_bytes.load(); }

    // Feeds bytes as if an endpoint had read them (replies go nowhere).
    void receive(std::string_view bytes) { onBytes(nullptr, bytes); }

signals:
    // Items are waiting; sent once until takeItems() empties the queue.
    void itemsReady();
    // The status changed by itself (a drawer pulse opens the drawer).
    void statusChanged();
    // A TCP client came or went.
    void clientsChanged();

private:
    void onBytes(Endpoint* from, std::string_view bytes);

    std::unique_ptr<Endpoint> m_pty;
    std::unique_ptr<Endpoint> m_tcp;
    DeviceLink m_link;
    QString m_linkPath;

    mutable std::mutex m_mutex;
    Decoder m_decoder;
    std::vector<DecodedItem> m_queue;
    std::atomic<std::uint8_t> m_status{PrinterStatus{}.toBits()};
    std::atomic<std::uint64_t> m_bytes{0};
};

} // namespace posprinter
