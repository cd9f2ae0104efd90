#pragma once

// The link channels of the operating system: one per kind of device.

#include "console/link/linkchannel.h"
#include "platform/devicefile.h"
#include "platform/serialport.h"
#include "platform/tcpclient.h"

// A serial port: each write is one deadline-bounded write and a flush, both
// within the serial write time-out of 5000 + 1000 × n ms.
class SerialChannel final : public LinkChannel {
public:
    explicit SerialChannel(platform::SerialPort port) : m_port(std::move(port)) {}
    std::int32_t write(const char* data, std::int32_t n) override;
    std::int32_t read(char* buffer, std::int32_t capacity) override;
    void close() override { m_port.close(); }
    [[nodiscard]] platform::SerialPort& port() { return m_port; }

private:
    platform::SerialPort m_port;
};

// A parallel port or USB printer device, with the same write time-out.
class DeviceChannel final : public LinkChannel {
public:
    explicit DeviceChannel(platform::DeviceFile file) : m_file(std::move(file)) {}
    std::int32_t write(const char* data, std::int32_t n) override;
    std::int32_t read(char* buffer, std::int32_t capacity) override;
    void close() override { m_file.close(); }

private:
    platform::DeviceFile m_file;
};

// A TCP connection. A write hands everything to one send and reports n
// whatever the socket says; the socket is never read.
class NetworkChannel final : public LinkChannel {
public:
    explicit NetworkChannel(platform::TcpClient client) : m_client(std::move(client)) {}
    std::int32_t write(const char* data, std::int32_t n) override;
    std::int32_t read(char*, std::int32_t) override { return 0; }
    void close() override { m_client.close(); }

private:
    platform::TcpClient m_client;
};
