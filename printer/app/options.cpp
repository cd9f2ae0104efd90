#include "printer/app/options.h"

#include <QCommandLineParser>

namespace posprinter {

std::optional<Options> parseOptions(const QStringList& arguments, QString* error, QString* help) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("posprinter：虚拟 ESC/POS 打印机。在伪终端和 TCP 上接收数据，"
                       "显示打印出的小票，回答状态查询。"));
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("显示本帮助。"));
    const QCommandLineOption headless(QStringLiteral("headless"),
                                      QStringLiteral("不开窗口：每次切纸写一个 PNG，"
                                                     "命令记录写入 log.jsonl（JSON Lines）。"));
    const QCommandLineOption out(QStringLiteral("out"),
                                 QStringLiteral("无窗口模式的输出目录（默认：当前目录）。"),
                                 QStringLiteral("DIR"));
    const QCommandLineOption idle(QStringLiteral("idle"),
                                  QStringLiteral("无窗口模式下，这么多秒没有收到数据就退出。"),
                                  QStringLiteral("SECONDS"));
    const QCommandLineOption link(QStringLiteral("link"),
                                  QStringLiteral("在 PATH 建一个指向伪终端的符号链接。"),
                                  QStringLiteral("PATH"));
    const QCommandLineOption noPty(QStringLiteral("no-pty"), QStringLiteral("不开伪终端。"));
    const QCommandLineOption tcp(QStringLiteral("tcp"),
                                 QStringLiteral("TCP 监听地址（默认 127.0.0.1:9100）；"
                                                "只有明确指定才监听非本机地址。"),
                                 QStringLiteral("HOST:PORT"));
    const QCommandLineOption noTcp(QStringLiteral("no-tcp"), QStringLiteral("不开 TCP 监听。"));
    const QCommandLineOption paper(QStringLiteral("paper"),
                                   QStringLiteral("纸宽：58 或 80（默认 80）。"),
                                   QStringLiteral("MM"));
    const QCommandLineOption exitWith(QStringLiteral("exit-with"),
                                      QStringLiteral("进程 PID 结束时随之退出。"),
                                      QStringLiteral("PID"));
    parser.addOptions({helpOption, headless, out, idle, link, noPty, tcp, noTcp, paper, exitWith});

    const auto fail = [&](const QString& message) -> std::optional<Options> {
        *error = message;
        return std::nullopt;
    };
    if (!parser.parse(arguments))
        return fail(parser.errorText());
    if (parser.isSet(helpOption)) {
        *help = parser.helpText();
        return std::nullopt;
    }
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("多余的参数：%1").arg(parser.positionalArguments().join(u' ')));

    Options o;
    o.headless = parser.isSet(headless);
    if (parser.isSet(out))
        o.outDir = parser.value(out);
    if (parser.isSet(idle)) {
        bool ok = false;
        o.idleSeconds = parser.value(idle).toInt(&ok);
        if (!ok || o.idleSeconds <= 0)
            return fail(QStringLiteral("--idle 需要一个正整数（秒）。"));
    }
    o.pty = !parser.isSet(noPty);
    o.linkPath = parser.value(link);
    if (!o.linkPath.isEmpty() && !o.pty)
        return fail(QStringLiteral("--link 需要伪终端，不能与 --no-pty 同用。"));
    o.tcp = !parser.isSet(noTcp);
    if (parser.isSet(tcp)) {
        const QString value = parser.value(tcp);
        const qsizetype colon = value.lastIndexOf(u':');
        bool ok = false;
        const uint port = colon > 0 ? value.mid(colon + 1).toUInt(&ok) : 0;
        const QString host = colon > 0 ? value.left(colon) : QString();
        if (!ok || port > 65535 || host.isEmpty())
            return fail(QStringLiteral("--tcp 需要 IPv4地址:端口，例如 127.0.0.1:9100。"));
        o.tcpHost = host;
        o.tcpPort = static_cast<quint16>(port);
        o.tcpGiven = true;
        if (!o.tcp)
            return fail(QStringLiteral("--tcp 与 --no-tcp 不能同用。"));
    }
    if (!o.pty && !o.tcp)
        return fail(QStringLiteral("伪终端和 TCP 都关了，打印机收不到任何数据。"));
    if (parser.isSet(paper)) {
        const QString mm = parser.value(paper);
        if (mm == QStringLiteral("58"))
            o.paper = PaperWidth::Mm58;
        else if (mm != QStringLiteral("80"))
            return fail(QStringLiteral("--paper 只能是 58 或 80。"));
    }
    if (parser.isSet(exitWith)) {
        bool ok = false;
        o.exitWithPid = parser.value(exitWith).toLongLong(&ok);
        if (!ok || o.exitWithPid <= 0)
            return fail(QStringLiteral("--exit-with 需要一个进程号。"));
    }
    return o;
}

} // namespace posprinter
