#include "tests/support/consoleform/partform.h"

#include "console/app/artwork.h"
#include "console/app/templates.h"
#include "console/settings/consolesettings.h"
#include "console/widgets/consolewidgets.h"

#include "tests/support/printer/testportmap.h"

namespace testsupport {

PartForm::PartForm()
    : dialog::TemplateDialog(templates::dialog(templates::MainWindow), &artwork::picture, nullptr,
                             widgets::consoleControls()),
      m_oldPorts(qgetenv("POSKIT_PORTS")) {
    mapCom1();
    // The numbers a fresh start-up gives the fields, in the controls, so a
    // part's first read of the controls passes its range checks.
    const ConsoleSettings fresh;
    ConsoleFields& f = form.fields();
    f.count = fresh.sendtimes;
    f.interval = fresh.delaytime;
    f.startNumber = fresh.startnumber;
    f.addCount = fresh.addtimes;
    form.writeControls();
}

PartForm::~PartForm() {
    qputenv("POSKIT_PORTS", m_oldPorts);
}

void PartForm::mapCom1(const std::string& devicePath) {
    (void)useTestPortMap(m_dir.path(),
                         devicePath.empty() ? missingDevice(m_dir.path(), "com1") : devicePath);
}

} // namespace testsupport
