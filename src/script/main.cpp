// softswitch-script: the main window's behaviour run headless, driven by a
// script of user actions, over the real links, sleeps and timer.

#include "app/mainwindow.h"
#include "platform/qt/qteventloop.h"
#include "platform/qt/qtparallelport.h"
#include "platform/qt/qtserialport.h"
#include "platform/qt/qttcpsocket.h"
#include "platform/qt/qttimerdriver.h"
#include "platform/qt/qtusblibrary.h"
#include "script/driveroptions.h"
#include "script/scriptrunner.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <fstream>
#include <clocale>
#include <iostream>
#include <vector>
#include <string>

int main(int argc, char** argv)
{
    softswitch::script::DriverOptions driver;
    std::string why;
    if (!softswitch::script::parseDriverOptions({argv + 1, argv + argc}, driver, why)) {
        std::cerr << "softswitch-script: " << why << " (see --help)\n";
        return softswitch::script::kExitScriptError;
    }
    if (driver.help || driver.version) {
        std::cout << (driver.help ? softswitch::script::kDriverHelp
                                  : std::string("softswitch-script ") + softswitch::kAppVersion + "\n");
        return softswitch::script::kExitOk;
    }
    if (driver.listControls) {
        softswitch::script::listControls(softswitch::Form1(), std::cout);
        return softswitch::script::kExitOk;
    }
    QCoreApplication app(argc, argv);
    // Qt takes the locale from the environment; the printer's numbers are read
    // with a decimal point whatever the user's language.
    std::setlocale(LC_NUMERIC, "C");
    const softswitch::PortOptions& options = driver.ports;
    const std::string& scriptPath = driver.scriptPath;
    std::ifstream file;
    if (scriptPath != "-") {
        file.open(scriptPath, std::ios::binary);
        if (!file) {
            std::cerr << "cannot read " << scriptPath << '\n';
            return softswitch::script::kExitScriptError;
        }
    }
    std::istream& script = scriptPath == "-" ? std::cin : file;

    softswitch::MainWindow* window = nullptr;
    softswitch::QtSerialPort serial(options.comPaths);
    softswitch::QtTcpSocket socket;
    softswitch::QtParallelPort parallel(options.lptPath);
    softswitch::QtUsbLibrary usb;
    softswitch::QtEventLoop loop;
    softswitch::QtTimerDriver timer([&window] {
        if (window)
            window->timerTick();
    });
    softswitch::script::ScriptBoxes boxes(std::cout);
    softswitch::script::ScriptShell shell(std::cout);

    softswitch::MainWindow mainWindow({.serial = serial, .socket = socket, .parallel = parallel, .usb = usb,
                                       .loop = loop, .timer = timer, .boxes = boxes, .shell = shell});
    window = &mainWindow;

    softswitch::script::ScriptRunner runner(mainWindow, boxes, std::cout, std::cerr, [](int ms) {
        QEventLoop waiting;
        QTimer::singleShot(ms, &waiting, &QEventLoop::quit);
        waiting.exec();
    }, driver.strict);
    return runner.run(script);
}
