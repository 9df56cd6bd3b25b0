// softswitch: the service utility's window.

#include "app/mainwindow.h"
#include "gui/guiplatform.h"
#include "gui/windowview.h"
#include "platform/qt/qteventloop.h"
#include "platform/qt/qtparallelport.h"
#include "platform/qt/qtserialport.h"
#include "platform/qt/qtshell.h"
#include "platform/qt/qttcpsocket.h"
#include "platform/qt/qttimerdriver.h"
#include "platform/qt/qtusblibrary.h"
#include "script/portoptions.h"

#include <QApplication>

#include <iostream>
#include <memory>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    softswitch::script::PortOptions options;
    std::string why;
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (!softswitch::script::parsePortOptions(args, options, why) || !options.rest.empty()) {
        std::cerr << (why.empty() ? "" : why + "\n") << "usage: softswitch [--com N=PATH]... [--lpt PATH]\n";
        return 2;
    }

    std::unique_ptr<softswitch::gui::WindowView> view;
    softswitch::MainWindow* window = nullptr;
    const auto refresh = [&view] {
        if (view)
            view->refresh();
    };

    softswitch::QtSerialPort serial(options.comPaths);
    softswitch::QtTcpSocket socket;
    softswitch::QtParallelPort parallel(options.lptPath);
    softswitch::QtUsbLibrary usb;
    softswitch::QtEventLoop qtLoop;
    softswitch::gui::GuiEventLoop loop(qtLoop, refresh, [&window] { return window && window->ended(); });
    softswitch::QtTimerDriver timer([&window, &refresh] {
        if (window && window->timerTick())
            refresh();
    });
    softswitch::gui::GuiBoxes boxes([&view]() -> QWidget* { return view.get(); }, refresh);
    softswitch::QtShell shell([] {});

    softswitch::MainWindow mainWindow({serial, socket, parallel, usb, loop, timer, boxes, shell});
    window = &mainWindow;
    if (!mainWindow.load())
        return 0;
    view = std::make_unique<softswitch::gui::WindowView>(mainWindow);
    view->show();
    return app.exec();
}
