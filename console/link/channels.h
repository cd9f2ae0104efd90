#pragma once

// The link channels of the operating system: one per kind of device. Each
// write is bounded by the serial write time-out of 5000 + 1000 × n ms.

#include "console/link/linkchannel.h"
#include "platform/devicefile.h"
#include "platform/serialport.h"
#include "platform/tcpclient.h"

// A serial port: each write is one deadline-bounded write and a drain, both
// within the one time-out.
class SerialChannel final : public LinkChannel {
public:
    explicit SerialChannel(platform::SerialPort port) : m_port(std::move(port)) {}
    platform::SegmentReport writeSegment(std::string_view bytes,
                                         const platform::WriteControl& control) override;
    std::int32_t read(char* buffer, std::int32_t capacity) override;
    void discardOutput() override { m_port.discardOutput(); }
    [[nodiscard]] bool farEndGone() const override { return m_port.farEndGone(); }
    void close() override;
    [[nodiscard]] platform::SerialPort& port() { return m_port; }

private:
    platform::SerialPort m_port;
};

// A parallel port or USB printer device: a write and a flush.
class DeviceChannel final : public LinkChannel {
public:
    explicit DeviceChannel(platform::DeviceFile file) : m_file(std::move(file)) {}
    platform::SegmentReport writeSegment(std::string_view bytes,
                                         const platform::WriteControl& control) override;
    std::int32_t read(char* buffer, std::int32_t capacity) override;
    [[nodiscard]] bool farEndGone() const override { return m_file.farEndGone(); }
    void close() override { m_file.close(); }

private:
    platform::DeviceFile m_file;
};

// A TCP connection. A write sends everything as the socket takes it; the
// socket is never read.
class NetworkChannel final : public LinkChannel {
public:
    explicit NetworkChannel(platform::TcpClient client) : m_client(std::move(client)) {}
    platform::SegmentReport writeSegment(std::string_view bytes,
                                         const platform::WriteControl& control) override;
    std::int32_t read(char*, std::int32_t) override { return 0; }
    [[nodiscard]] bool farEndGone() const override { return m_client.peerGone(); }
    void close() override { m_client.close(); }

private:
    platform::TcpClient m_client;
};
