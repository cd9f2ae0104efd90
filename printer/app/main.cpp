// posprinter: the kit's virtual ESC/POS printer, with a window or headless.

#include "platform/dialog/prompter.h"
#include "platform/dialog/widgetrules.h"
#include "printer/app/headless.h"
#include "printer/app/options.h"
#include "printer/app/stopsignals.h"
#include "printer/core/printersession.h"
#include "printer/ui/printerwindow.h"

#include <QApplication>
#include <QFile>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <initializer_list>
#include <memory>

using namespace posprinter;

namespace {

// Whether the command line holds one of these words (before the application
// object exists, which must know whether there will be a window).
bool hasArgument(int argc, char** argv, std::initializer_list<const char*> words) {
    for (int i = 1; i < argc; ++i) {
        for (const char* word : words) {
            if (qstrcmp(argv[i], word) == 0)
                return true;
        }
    }
    return false;
}

void say(const QString& text) {
    std::fprintf(stdout, "%s\n", qUtf8Printable(text));
    std::fflush(stdout);
}

void complain(const QString& text) {
    std::fprintf(stderr, "posprinter: %s\n", qUtf8Printable(text));
}

// Opens the endpoints the options ask for and says where they are.
bool openEndpoints(PrinterSession& session, const Options& o) {
    QString error;
    if (o.pty) {
        if (!session.openPty(o.linkPath, &error)) {
            complain(QStringLiteral("无法打开伪终端：%1").arg(error));
            return false;
        }
        say(QStringLiteral("pty: %1").arg(session.ptyPath()));
        if (!o.linkPath.isEmpty())
            say(QStringLiteral("link: %1").arg(o.linkPath));
    }
    if (o.tcp) {
        if (session.listenTcp(o.tcpHost, o.tcpPort, &error)) {
            say(QStringLiteral("tcp: %1").arg(session.tcpAddress()));
        } else if (o.tcpGiven || !o.pty) {
            complain(QStringLiteral("无法监听 TCP：%1").arg(error));
            return false;
        } else {
            complain(QStringLiteral("无法监听 TCP（只用伪终端）：%1").arg(error));
        }
    }
    return true;
}

// A process that has ended but not been reaped yet counts as gone.
bool processAlive(pid_t pid) {
    if (::kill(pid, 0) != 0 && errno == ESRCH)
        return false;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray line = stat.readAll();
    const qsizetype end = line.lastIndexOf(')'); // the name may hold spaces and parentheses
    return end < 0 || end + 2 >= line.size() || line[end + 2] != 'Z';
}

} // namespace

int main(int argc, char** argv) {
    const bool headless = hasArgument(argc, argv, {"--headless"});
    const bool noWindow = headless || hasArgument(argc, argv, {"-h", "--help"});
    // Without a display the options are still read, so --help and a mistyped
    // option get their answer before the complaint about the display.
    const bool noDisplay = !noWindow && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
                           qEnvironmentVariableIsEmpty("DISPLAY") &&
                           qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if ((noWindow || noDisplay) && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // A client that goes away while we answer must not end the printer.
    std::signal(SIGPIPE, SIG_IGN);

    std::unique_ptr<QGuiApplication> app;
    if (noWindow || noDisplay)
        app = std::make_unique<QGuiApplication>(argc, argv);
    else
        app = std::make_unique<QApplication>(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("posprinter"));
    // The menu entry's name: Wayland desktops find the icon through it.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.poskit.PosPrinter"));
    dialog::installQtTranslations(*app);

    QString error;
    QString help;
    const auto options = parseOptions(QCoreApplication::arguments(), &error, &help);
    if (!options) {
        if (!help.isEmpty()) {
            say(help);
            return 0;
        }
        complain(error);
        return 2;
    }
    // (Also where "-h" was the value of another option: no window without a QApplication.)
    if (!headless && qobject_cast<QApplication*>(app.get()) == nullptr) {
        complain(QStringLiteral("没有图形显示（DISPLAY 未设置）；不开窗口请用 --headless。"));
        return 1;
    }

    PrinterSession session;
    if (!openEndpoints(session, *options))
        return 1;

    StopSignals stopSignals;
    QObject::connect(&stopSignals, &StopSignals::stopRequested, app.get(), &QCoreApplication::quit);
    QTimer watch;
    if (options->exitWithPid > 0) {
        const auto pid = static_cast<pid_t>(options->exitWithPid);
        QObject::connect(&watch, &QTimer::timeout, app.get(), [pid] {
            if (!processAlive(pid))
                QCoreApplication::quit();
        });
        watch.start(250);
    }

    if (headless) {
        HeadlessPrinter printer(session, options->paper, options->outDir);
        if (!printer.open(&error)) {
            complain(error);
            return 1;
        }
        QTimer idle;
        std::uint64_t lastCount = 0;
        qint64 quietMs = 0;
        if (options->idleSeconds > 0) {
            QObject::connect(&idle, &QTimer::timeout, app.get(), [&] {
                const std::uint64_t now = session.bytesReceived();
                quietMs = now == lastCount ? quietMs + idle.interval() : 0;
                lastCount = now;
                if (quietMs >= qint64{options->idleSeconds} * 1000)
                    QCoreApplication::quit();
            });
            idle.start(100);
        }
        session.start();
        QCoreApplication::exec();
        printer.finish();
        return 0;
    }

    dialog::QtPrompter prompter;
    PrinterWindow window(session, prompter, options->paper);
    window.show();
    session.start();
    const int rc = QCoreApplication::exec();
    session.stop();
    return rc;
}
