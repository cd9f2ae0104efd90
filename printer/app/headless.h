#pragma once

// posprinter without a window, for the CI of other people's software: every
// cut writes the receipt as receipt-NNNN.png into the output folder, and every
// decoded item becomes a line of log.jsonl.

#include "printer/core/printersession.h"
#include "printer/render/receiptrenderer.h"

#include <QFile>
#include <QObject>
#include <QString>

namespace posprinter {

class HeadlessPrinter final : public QObject {
    Q_OBJECT
public:
    HeadlessPrinter(PrinterSession& session, PaperWidth paper, QString outDir);

    // Makes the folder and opens the log; false with *error when it cannot.
    bool open(QString* error);
    // Prints what is left: a command cut off becomes an incomplete item, a
    // receipt not cut is written as the last PNG.
    void finish();
    [[nodiscard]] int receiptsWritten() const { return m_written; }

private:
    void takeItems();
    void write(const std::vector<Receipt>& receipts);

    PrinterSession& m_session;
    ReceiptRenderer m_renderer;
    QString m_outDir;
    QFile m_log;
    int m_written = 0;
};

} // namespace posprinter
