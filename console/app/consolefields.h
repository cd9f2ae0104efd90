#pragma once

// The main window's fields: what its controls hold, as plain values. The
// window copies them from and to the controls with its data exchange.

#include <array>
#include <string>

struct ConsoleFields {
    std::string sendText; // ids::SendArea
    // The receive text (ids::ReceiveArea) is kept by the ReceiveDisplay: the
    // area only grows by appends, and copying it at every tick would make a
    // tick cost more the longer the text gets.
    std::array<std::string, 10> entryTexts{};  // ids::EntryEdits
    std::array<bool, 10> entryHex{};           // ids::EntryHexBoxes
    int count = 0;                             // ids::Count, 1..999999
    int startNumber = 1;                       // ids::StartNumber, 1..999999
    int interval = 0;                          // ids::Interval, 0..7200000 ms
    int sheets = 1;                            // ids::Sheets
    int addCount = 1;                          // ids::AddCount, 0..1000
    std::string addContent;                    // ids::AddContent
    int tcpPort = 0;                           // ids::TcpPort
    int barcodeType = 0;                       // ids::BarcodeType
    std::string barcodeContent = "0123456789"; // ids::BarcodeContent
};
