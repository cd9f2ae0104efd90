#pragma once

// Settings values and files for the settings' tests.

#include "console/settings/consolesettings.h"
#include "console/settings/inifile.h"

#include <QString>
#include <gtest/gtest.h>

#include <string>

namespace testsupport {

// Every key away from its default, in ranges the window's fields take, with
// no connect at load. The texts hold every kind of line end and bytes that
// are not GBK.
inline ConsoleSettings everyKeyChanged() {
    ConsoleSettings v;
    v.port.port = 9;
    v.port.boad = "115200,";
    v.port.check = "E,";
    v.port.data = "7,";
    v.port.stop = "1.5";
    v.port.control = "XonXoff\n";
    v.connect = false;
    v.autocut = false;
    v.hexsend = true;
    v.hexdisplay = false;
    v.usetimer = true;
    v.addnumber = true;
    v.selqueue = 7;
    v.nottransorder = true;
    v.check = {true, false, true, true, false, false, true, false, false, true};
    v.showqueue = "TRUE";
    v.sendtimes = 12;
    v.delaytime = 250;
    v.startnumber = 40;
    v.addtimes = 3;
    v.addcontent = "\xB2\xE2\xCA\xD4 ##1b 40##";
    v.send = "\xB2\xE2\xCA\xD4 line\r\nlone lf\nlone cr\rbytes \x80\xFF\x81\r\n\r\nend\r\n";
    v.receive = "1B 40 0A \r\n\n\r 7F 80 FF ";
    for (std::size_t i = 0; i < v.queue.size(); ++i)
        v.queue[i] = "queue " + std::to_string(i + 1) + " \xD6\xD0\xCE\xC4 \xFF";
    for (std::size_t i = 0; i < v.recentfiles.size(); ++i)
        v.recentfiles[i] = "/home/user/\xB2\xE2\xCA\xD4 " + std::to_string(i + 1) + ".txt";
    v.cutCommand = "1d 56\r\n01";
    return v;
}

// A fresh store on path with the value saved, as "保存设置到ini文件" writes it.
inline void saveSettingsTo(const QString& path, const ConsoleSettings& v) {
    IniFile ini;
    ini.setFileName(path.toStdString());
    v.save(ini);
    ASSERT_TRUE(ini.writeFile());
}

} // namespace testsupport
