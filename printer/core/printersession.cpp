#include "printer/core/printersession.h"

namespace posprinter {

PrinterSession::PrinterSession(QObject* parent) : QObject(parent) {}

PrinterSession::~PrinterSession() {
    stop();
}

bool PrinterSession::openPty(const QString& linkPath, QString* error) {
    std::string why;
    auto pty = Endpoint::openPty(&why);
    if (pty && !linkPath.isEmpty() &&
        !m_link.create(linkPath.toStdString(), pty->devicePath(), &why))
        pty.reset();
    if (!pty) {
        if (error != nullptr)
            *error = QString::fromStdString(why);
        return false;
    }
    m_pty = std::move(pty);
    m_linkPath = linkPath;
    return true;
}

bool PrinterSession::listenTcp(const QString& host, quint16 port, QString* error) {
    std::string why;
    m_tcp = Endpoint::listenTcp(host.toStdString(), port, Endpoint::Takeover::Queue, &why);
    if (!m_tcp && error != nullptr)
        *error = QString::fromStdString(why);
    return m_tcp != nullptr;
}

void PrinterSession::start() {
    for (Endpoint* e : {m_pty.get(), m_tcp.get()}) {
        if (e == nullptr)
            continue;
        Endpoint::Handlers handlers;
        handlers.received = [this, e](std::string_view bytes) { onBytes(e, bytes); };
        handlers.accepted = [this] { emit clientsChanged(); };
        handlers.closed = [this] { emit clientsChanged(); };
        e->start(std::move(handlers));
    }
}

void PrinterSession::stop() {
    if (m_pty)
        m_pty->stop();
    if (m_tcp)
        m_tcp->stop();
}

QString PrinterSession::ptyPath() const {
    return m_pty ? QString::fromStdString(m_pty->devicePath()) : QString();
}

QString PrinterSession::tcpAddress() const {
    if (!m_tcp)
        return {};
    return QStringLiteral("%1:%2").arg(QString::fromStdString(m_tcp->host())).arg(m_tcp->port());
}

bool PrinterSession::tcpClientConnected() const {
    return m_tcp && m_tcp->clientConnected();
}

std::vector<DecodedItem> PrinterSession::takeItems() {
    std::lock_guard lock(m_mutex);
    return std::exchange(m_queue, {});
}

void PrinterSession::finish() {
    bool wasEmpty = false;
    {
        std::lock_guard lock(m_mutex);
        wasEmpty = m_queue.empty();
        m_decoder.finish([this](DecodedItem&& item) { m_queue.push_back(std::move(item)); });
        wasEmpty = wasEmpty && !m_queue.empty();
    }
    if (wasEmpty)
        emit itemsReady();
}

PrinterStatus PrinterSession::status() const {
    return PrinterStatus::fromBits(m_status.load());
}

void PrinterSession::setStatus(const PrinterStatus& status) {
    m_status.store(status.toBits());
}

void PrinterSession::onBytes(Endpoint* from, std::string_view bytes) {
    m_bytes += bytes.size();
    std::string replies;
    bool drawerOpened = false;
    bool wake = false;
    {
        std::lock_guard lock(m_mutex);
        const bool wasEmpty = m_queue.empty();
        m_decoder.feed(bytes, [&](DecodedItem&& item) {
            if (item.kind == DecodedItem::Kind::Command) {
                const Cmd id = item.desc->id;
                const bool pulse =
                    id == Cmd::DrawerPulse || (id == Cmd::RealTimePulse && item.param(0) == 1);
                PrinterStatus now = status();
                if (pulse && !now.drawerOpen) {
                    // The drawer springs open; the operator closes it on the panel.
                    now.drawerOpen = true;
                    setStatus(now);
                    drawerOpened = true;
                }
                replies += replyTo(item, now);
            }
            m_queue.push_back(std::move(item));
        });
        wake = wasEmpty && !m_queue.empty();
    }
    if (!replies.empty() && from != nullptr)
        from->sendBack(replies, std::chrono::milliseconds(200));
    if (drawerOpened)
        emit statusChanged();
    if (wake)
        emit itemsReady();
}

} // namespace posprinter
