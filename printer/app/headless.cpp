#include "printer/app/headless.h"

#include "printer/core/describe.h"

#include <QDir>

#include <cstdio>

namespace posprinter {

HeadlessPrinter::HeadlessPrinter(PrinterSession& session, PaperWidth paper, QString outDir)
    : m_session(session), m_renderer(paper), m_outDir(std::move(outDir)) {}

bool HeadlessPrinter::open(QString* error) {
    if (!QDir().mkpath(m_outDir)) {
        *error = QStringLiteral("无法创建输出目录 %1").arg(m_outDir);
        return false;
    }
    m_log.setFileName(QDir(m_outDir).filePath(QStringLiteral("log.jsonl")));
    if (!m_log.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        *error = QStringLiteral("无法写入 %1：%2").arg(m_log.fileName(), m_log.errorString());
        return false;
    }
    connect(&m_session, &PrinterSession::itemsReady, this, &HeadlessPrinter::takeItems);
    takeItems();
    return true;
}

void HeadlessPrinter::takeItems() {
    for (const DecodedItem& item : m_session.takeItems()) {
        m_renderer.render(item);
        m_log.write(jsonLine(item) + '\n');
    }
    m_log.flush(); // a CI job may read the log while the printer runs
    write(m_renderer.takeFinished());
}

void HeadlessPrinter::write(const std::vector<Receipt>& receipts) {
    for (const Receipt& r : receipts) {
        ++m_written;
        const QString path = QDir(m_outDir).filePath(
            QStringLiteral("receipt-%1.png").arg(m_written, 4, 10, QLatin1Char('0')));
        if (!r.image.save(path, "PNG"))
            std::fprintf(stderr, "posprinter: cannot write %s\n", qUtf8Printable(path));
    }
}

void HeadlessPrinter::finish() {
    m_session.stop();
    m_session.finish();
    takeItems();
    std::vector<Receipt> last;
    m_renderer.finishOpen(last);
    write(last);
    m_log.close();
}

} // namespace posprinter
