#pragma once

// The command line of posprinter.

#include "printer/render/receiptrenderer.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace posprinter {

struct Options {
    bool headless = false;
    QString outDir = QStringLiteral(".");
    int idleSeconds = 0; // 0: no idle exit
    bool pty = true;
    QString linkPath;
    bool tcp = true;
    bool tcpGiven = false; // --tcp named: failing to listen is an error, not a warning
    QString tcpHost = QStringLiteral("127.0.0.1");
    quint16 tcpPort = 9100;
    PaperWidth paper = PaperWidth::Mm80;
    qint64 exitWithPid = 0;
};

// nullopt with a message in *error (or the help text in *help) when the
// program should not run.
[[nodiscard]] std::optional<Options> parseOptions(const QStringList& arguments, QString* error,
                                                  QString* help);

} // namespace posprinter
