#pragma once

// The virtual printer's window: the paper roll, beside it the status panel,
// the buttons and the decoded-command log. Items come from the session in
// batches and are printed here, on the window's thread, a slice at a time so
// the window stays responsive under a fast stream.

#include "printer/core/printersession.h"
#include "printer/render/receiptrenderer.h"

#include <QMainWindow>

#include <deque>

class QAction;
class QCheckBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QTableView;
class QTimer;

namespace dialog {
class Prompter;
}

namespace posprinter {

class LogModel;
class PaperView;

class PrinterWindow final : public QMainWindow {
    Q_OBJECT
public:
    PrinterWindow(PrinterSession& session, dialog::Prompter& prompter, PaperWidth paper,
                  QWidget* parent = nullptr);
    ~PrinterWindow() override;

    // Prints every item the session has decoded so far (tests; the window
    // does it by itself when the session says items are ready).
    void drain();

    [[nodiscard]] const ReceiptRenderer& renderer() const { return m_renderer; }
    [[nodiscard]] PaperView& paper() const { return *m_paper; }
    [[nodiscard]] LogModel& log() const { return *m_log; }
    // Bytes printed so far: the end of the last item printed.
    [[nodiscard]] std::uint64_t printedOffset() const { return m_printed; }

    // The status switches, by their captions' order: 在线, 纸仓盖打开, 纸将尽, 缺纸, 钱箱打开.
    [[nodiscard]] QCheckBox* statusBox(int i) const { return m_status[i]; }
    [[nodiscard]] QAction* paperAction(PaperWidth paper) const;

    void saveReceipt();
    void saveAllReceipts();
    void clearAll();

private:
    void buildMenus();
    QWidget* buildSidePanel();
    void takeItems();
    void printSlice();
    void present();
    void statusEdited();
    void showStatus();
    void showEndpoints();
    void choosePaper(PaperWidth paper);
    bool writeImage(const QImage& image, const QString& path);

    PrinterSession& m_session;
    dialog::Prompter& m_prompter;
    ReceiptRenderer m_renderer;
    std::deque<DecodedItem> m_backlog;
    bool m_slicePosted = false;
    bool m_followPaper = true;
    std::vector<DecodedItem> m_unshownLog;
    std::vector<Receipt> m_unshownReceipts;
    QTimer* m_present = nullptr;
    std::uint64_t m_printed = 0;

    PaperView* m_paper = nullptr;
    QScrollArea* m_scroll = nullptr;
    LogModel* m_log = nullptr;
    QTableView* m_logView = nullptr;
    QCheckBox* m_status[5] = {};
    QLabel* m_ptyLabel = nullptr;
    QLabel* m_tcpLabel = nullptr;
    QLabel* m_countLabel = nullptr;
    QAction* m_paper58 = nullptr;
    QAction* m_paper80 = nullptr;
};

} // namespace posprinter
