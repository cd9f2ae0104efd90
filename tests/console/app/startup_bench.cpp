// What the console's window costs next to Qt's own floor, in one process:
//  - consoleToShown / bareToShown: construction to the first show of the
//    console and of a bare QDialog holding the same controls (same kinds,
//    captions, items, places and menu), built with plain Qt calls. The
//    ratio of the two is the console's overhead.
//  - heldPerMegabyte: heap growth of an 8 MB paste into the console's send
//    area, into the same area with its signals blocked (the widget's own
//    copy alone) and into the bare dialog's edit; held_per_byte is what the
//    console holds beyond the widget's copy, per byte of the text.
//  - keystrokeBigText / keystrokeBareText: one character typed at the end
//    of an 8 MB send text, in the console and in a bare edit.
// Run: QT_QPA_PLATFORM=offscreen ./build/tests/console/app/startup_bench
//
// With --show=console or --show=bare the program runs just that window
// instead, on the platform it is given, for timing whole launches (process
// start to window mapped) of the two with the same binary and libraries.
#include "console/app/consoledialog.h"
#include "console/app/templates.h"
#include "platform/codepage.h"
#include "platform/dialog/edittext.h"
#include "platform/dialog/templatedialog.h"
#include "tests/support/printer/testportmap.h"
#include "tests/support/prompter/scriptedprompter.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>
#include <QWindow>
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <functional>
#include <memory>

namespace {

// Every port leads nowhere: the console's opening connect fails at once.
void mapNoPorts(const QTemporaryDir& dir) {
    (void)testsupport::useTestPortMap(dir.path(), testsupport::missingDevice(dir.path(), "COM1"));
}

void fillMenu(QWidget* into, const dialog::MenuTemplate& m) {
    for (const auto& child : m.children) {
        if (child.kind == dialog::MenuTemplate::Kind::Popup) {
            QMenu* sub = nullptr;
            if (auto* bar = qobject_cast<QMenuBar*>(into))
                sub = bar->addMenu(child.caption);
            else
                sub = static_cast<QMenu*>(into)->addMenu(child.caption);
            fillMenu(sub, child);
        } else if (child.kind == dialog::MenuTemplate::Kind::Separator) {
            static_cast<QMenu*>(into)->addSeparator();
        } else {
            into->addAction(new QAction(child.caption, into));
        }
    }
}

// The console's controls as plain Qt widgets, nothing else.
std::unique_ptr<QDialog> bareDialog() {
    const dialog::DialogTemplate& t = templates::dialog(templates::MainWindow);
    auto d = std::make_unique<QDialog>();
    d->setWindowTitle(t.caption);
    d->setFont(dialog::templateFont(t.fontFamily, t.pointSize)); // the same face for the captions
    auto* box = new QVBoxLayout(d.get());
    box->setContentsMargins(0, 0, 0, 0);
    auto* bar = new QMenuBar(d.get());
    fillMenu(bar, templates::menu(templates::MainMenu));
    box->setMenuBar(bar);
    auto* client = new QWidget(d.get());
    const double unit = dialog::pixelsPerUnit();
    client->setFixedSize(qRound(t.size.width() * unit), qRound(t.size.height() * unit));
    box->addWidget(client);
    for (const auto& c : t.controls) {
        QWidget* w = nullptr;
        switch (c.kind) {
        case dialog::ControlKind::Button:
            w = new QPushButton(c.caption, client);
            break;
        case dialog::ControlKind::CheckBox:
            w = new QCheckBox(c.caption, client);
            break;
        case dialog::ControlKind::RadioButton:
            w = new QRadioButton(c.caption, client);
            break;
        case dialog::ControlKind::GroupBox:
            w = new QGroupBox(c.caption, client);
            break;
        case dialog::ControlKind::Static:
            w = new QLabel(c.caption, client);
            break;
        case dialog::ControlKind::Image: {
            auto* l = new QLabel(client);
            QPixmap pm(dialog::toPixels(c.rect, unit).size());
            pm.fill(Qt::gray);
            l->setPixmap(pm);
            w = l;
            break;
        }
        case dialog::ControlKind::Edit:
            if (c.has(dialog::style::MultiLine)) {
                auto* e = new QPlainTextEdit(client);
                if (c.has(dialog::style::VScroll))
                    e->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
                w = e;
            } else {
                w = new QLineEdit(c.caption, client);
            }
            break;
        case dialog::ControlKind::ComboBox: {
            auto* b = new QComboBox(client);
            b->addItems(c.items);
            b->setEditable(c.has(dialog::style::DropDown));
            w = b;
            break;
        }
        case dialog::ControlKind::IpAddress:
            w = new QLineEdit(client);
            break;
        }
        w->setGeometry(dialog::toPixels(c.rect, unit));
        if (c.has(dialog::style::Hidden))
            w->hide();
    }
    return d;
}

// Shown and exposed, without the sleeps of QTest's waiting.
void showAndWait(QWidget& w) {
    w.show();
    QElapsedTimer limit;
    limit.start();
    while (!(w.windowHandle() && w.windowHandle()->isExposed()) && limit.elapsed() < 5000)
        QApplication::processEvents();
    QApplication::processEvents();
}

void consoleToShown(benchmark::State& state) {
    QTemporaryDir dir;
    mapNoPorts(dir);
    ScriptedPrompter prompter;
    for (auto _ : state) {
        auto window = std::make_unique<TestConsoleDialog>(prompter);
        showAndWait(*window);
        state.PauseTiming();
        window.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

void bareToShown(benchmark::State& state) {
    (void)templates::dialog(templates::MainWindow); // parsed before, as it is for the console
    for (auto _ : state) {
        auto window = bareDialog();
        showAndWait(*window);
        state.PauseTiming();
        window.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

size_t heapInUse() {
    malloc_trim(0);
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd; // small blocks and mapped big ones
}

// 8 MB of receipt lines, Chinese and ASCII, CR LF ends, as the bytes a file
// would hold; pasted, it is the same text as Unicode.
const std::string& bigText() {
    static const std::string text = [] {
        const std::string line =
            codepage::fromUnicode(u"收银小票 品名 数量 单价 金额 0123456789 ABC\r\n");
        std::string t;
        while (t.size() + line.size() <= (8u << 20))
            t += line;
        return t;
    }();
    return text;
}

void paste(QPlainTextEdit& edit, const std::string& bytes) {
    QApplication::clipboard()->setText(codepage::toUnicode(bytes));
    edit.setFocus();
    edit.moveCursor(QTextCursor::End);
    edit.paste();
    QApplication::clipboard()->clear();
    // The console takes a long text once typing pauses: give it that pause.
    QTest::qWait(2 * edittext::PausedRead::PauseMs);
}

// Heap growth of a paste into the edit that `make` builds and shows.
size_t pasteGrowth(const std::function<QPlainTextEdit*()>& make) {
    QPlainTextEdit* edit = make();
    QApplication::processEvents();
    const size_t before = heapInUse();
    paste(*edit, bigText());
    return heapInUse() - before;
}

void heldPerMegabyte(benchmark::State& state) {
    QTemporaryDir dir;
    mapNoPorts(dir);
    ScriptedPrompter prompter;
    // The console's paste as it is, and the same paste with the edit's
    // signals blocked, so that only the widget takes the text: the
    // difference is what the console holds beyond the widget's own copy.
    const auto consoleGrowth = [&](bool widgetOnly) {
        std::unique_ptr<TestConsoleDialog> window;
        return static_cast<double>(pasteGrowth([&] {
            window = std::make_unique<TestConsoleDialog>(prompter);
            showAndWait(*window);
            QPlainTextEdit* edit = window->textEdit(ids::SendArea);
            edit->blockSignals(widgetOnly);
            return edit;
        }));
    };
    // One paste first that no figure counts: the first big text a process
    // shows fills Qt's caches (glyphs of the face) for good.
    {
        auto warmUp = bareDialog();
        (void)pasteGrowth([&] {
            showAndWait(*warmUp);
            return warmUp->findChild<QPlainTextEdit*>();
        });
    }
    double console = 0;
    double widget = 0;
    double bare = 0;
    for (auto _ : state) {
        console = consoleGrowth(false);
        widget = consoleGrowth(true);
        std::unique_ptr<QDialog> plain;
        bare = static_cast<double>(pasteGrowth([&] {
            plain = bareDialog();
            showAndWait(*plain);
            return plain->findChild<QPlainTextEdit*>();
        }));
    }
    const double size = static_cast<double>(bigText().size());
    state.counters["text_MB"] = size / (1 << 20);
    state.counters["console_MB"] = console / (1 << 20);
    state.counters["widget_only_MB"] = widget / (1 << 20);
    state.counters["bare_edit_MB"] = bare / (1 << 20);
    state.counters["held_per_byte"] = (console - widget) / size;
}

void keystroke(benchmark::State& state, bool inConsole) {
    QTemporaryDir dir;
    mapNoPorts(dir);
    ScriptedPrompter prompter;
    std::unique_ptr<QDialog> window;
    QPlainTextEdit* edit = nullptr;
    if (inConsole) {
        auto console = std::make_unique<TestConsoleDialog>(prompter);
        edit = console->textEdit(ids::SendArea);
        window = std::move(console);
    } else {
        window = bareDialog();
        edit = window->findChild<QPlainTextEdit*>();
    }
    showAndWait(*window);
    paste(*edit, bigText());
    for (auto _ : state) {
        QTest::keyClick(edit, Qt::Key_A);
        QTest::keyClick(edit, Qt::Key_Backspace);
    }
}

void keystrokeBigText(benchmark::State& state) {
    keystroke(state, true);
}

void keystrokeBareText(benchmark::State& state) {
    keystroke(state, false);
}

} // namespace

BENCHMARK(consoleToShown)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(bareToShown)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(heldPerMegabyte)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(keystrokeBigText)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(keystrokeBareText)->Unit(benchmark::kMillisecond)->Iterations(10);

int main(int argc, char** argv) {
    const std::string show = argc == 2 ? argv[1] : "";
    if (show == "--show=console" || show == "--show=bare") {
        QApplication app(argc, argv);
        QTemporaryDir dir;
        mapNoPorts(dir);
        ScriptedPrompter prompter;
        if (show == "--show=bare")
            return bareDialog()->exec();
        return TestConsoleDialog(prompter).exec();
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
