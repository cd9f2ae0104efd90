#include "console/settings/consolesettings.h"

#include "console/settings/inifile.h"

#include <QDir>
#include <QFile>

namespace {

constexpr std::string_view Connect = "connect";
constexpr std::string_view Check = "check";
constexpr std::string_view Strings = "strings";

constexpr std::string_view True = "TRUE";
constexpr std::string_view False = "FALSE";

std::string numbered(std::string_view key, std::size_t index) {
    return std::string(key) + std::to_string(index + 1);
}

bool getSwitch(const IniFile& ini, std::string_view section, std::string_view key, bool def) {
    return ini.getString(section, key, def ? True : False) == True;
}

void setSwitch(IniFile& ini, std::string_view section, std::string_view key, bool on) {
    ini.setString(section, key, on ? True : False);
}

} // namespace

void ConsoleSettings::load(const IniFile& ini) {
    const ConsoleSettings defaults;

    port.port = ini.getInt(Connect, "port", defaults.port.port);
    port.boad = ini.getString(Connect, "boad", defaults.port.boad);
    port.check = ini.getString(Connect, "check", defaults.port.check);
    port.data = ini.getString(Connect, "data", defaults.port.data);
    port.stop = ini.getString(Connect, "stop", defaults.port.stop);
    port.control = ini.getString(Connect, "control", defaults.port.control);
    connect = getSwitch(ini, Connect, "connect", defaults.connect);

    autocut = getSwitch(ini, Check, "autocut", defaults.autocut);
    hexsend = getSwitch(ini, Check, "hexsend", defaults.hexsend);
    hexdisplay = getSwitch(ini, Check, "hexdisplay", defaults.hexdisplay);
    usetimer = getSwitch(ini, Check, "usetimer", defaults.usetimer);
    addnumber = getSwitch(ini, Check, "addnumber", defaults.addnumber);
    selqueue = ini.getInt(Check, "selqueue", defaults.selqueue);
    nottransorder = getSwitch(ini, Check, "nottransorder", defaults.nottransorder);
    for (std::size_t i = 0; i < check.size(); ++i)
        check[i] = getSwitch(ini, Check, numbered("check", i), defaults.check[i]);
    showqueue = ini.getString(Check, "showqueue", defaults.showqueue);

    sendtimes = ini.getInt(Strings, "sendtimes", defaults.sendtimes);
    delaytime = ini.getInt(Strings, "delaytime", defaults.delaytime);
    startnumber = ini.getInt(Strings, "startnumber", defaults.startnumber);
    addtimes = ini.getInt(Strings, "addtimes", defaults.addtimes);
    addcontent = ini.getString(Strings, "addcontent", defaults.addcontent);
    send = ini.getString(Strings, "send", defaults.send);
    receive = ini.getString(Strings, "receive", defaults.receive);
    for (std::size_t i = 0; i < queue.size(); ++i)
        queue[i] = ini.getString(Strings, numbered("queue", i), defaults.queue[i]);
    for (std::size_t i = 0; i < recentfiles.size(); ++i)
        recentfiles[i] = ini.getString(Strings, numbered("recentfile", i), defaults.recentfiles[i]);
    cutCommand = ini.getString(Strings, "CutCommand", defaults.cutCommand);
}

void ConsoleSettings::save(IniFile& ini) const {
    setSwitch(ini, Connect, "connect", connect);
    ini.setString(Connect, "control", port.control);
    ini.setString(Connect, "stop", port.stop);
    ini.setString(Connect, "data", port.data);
    ini.setString(Connect, "check", port.check);
    ini.setString(Connect, "boad", port.boad);
    ini.setInt(Connect, "port", port.port);

    // The queue choice is written with a line feed after its number.
    ini.setString(Check, "selqueue", std::to_string(selqueue) + "\n");
    setSwitch(ini, Check, "nottransorder", nottransorder);
    setSwitch(ini, Check, "usetimer", usetimer);
    setSwitch(ini, Check, "addnumber", addnumber);
    for (std::size_t i = check.size(); i-- > 0;)
        setSwitch(ini, Check, numbered("check", i), check[i]);
    setSwitch(ini, Check, "autocut", autocut);
    setSwitch(ini, Check, "hexsend", hexsend);
    setSwitch(ini, Check, "hexdisplay", hexdisplay);
    ini.setString(Check, "showqueue", showqueue);

    for (std::size_t i = queue.size(); i-- > 0;)
        ini.setString(Strings, numbered("queue", i), queue[i]);
    ini.setString(Strings, "receive", receive);
    ini.setString(Strings, "send", send);
    for (std::size_t i = recentfiles.size(); i-- > 0;)
        ini.setString(Strings, numbered("recentfile", i), recentfiles[i]);
    ini.setString(Strings, "CutCommand", cutCommand);
    ini.setInt(Strings, "sendtimes", sendtimes);
    ini.setInt(Strings, "delaytime", delaytime);
    ini.setInt(Strings, "startnumber", startnumber);
    ini.setInt(Strings, "addtimes", addtimes);
    ini.setString(Strings, "addcontent", addcontent);
}

std::string defaultSettingsPath() {
    const QString path = QDir::current().filePath(QLatin1String(ConsoleSettings::DefaultFileName));
    return QFile::encodeName(path).toStdString();
}
