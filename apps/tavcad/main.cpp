// tavcad: the CAD host program. Opens a drawing, loads the module, runs commands.
//
//   tavcad [--main-dir DIR] [--config-dir DIR] [--no-module] [DRAWING.dxf]
#include "apps/tavcad/CadMainWindow.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tavcad"));
    QApplication::setApplicationDisplayName(QStringLiteral("tavcad"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("tavcad - the CAD host of TavDataManager"));
    parser.addHelpOption();
    QCommandLineOption mainDir(QStringLiteral("main-dir"), QStringLiteral("The main directory."), QStringLiteral("DIR"));
    QCommandLineOption configDir(QStringLiteral("config-dir"), QStringLiteral("The user's configuration folder."),
                                 QStringLiteral("DIR"));
    QCommandLineOption noModule(QStringLiteral("no-module"), QStringLiteral("Do not load libTavDataManager.so."));
    parser.addOption(mainDir);
    parser.addOption(configDir);
    parser.addOption(noModule);
    parser.addPositionalArgument(QStringLiteral("drawing"), QStringLiteral("A DXF drawing to open."), QStringLiteral("[drawing]"));
    parser.process(app);
    if (parser.positionalArguments().size() > 1) {
        std::fprintf(stderr, "tavcad: only one drawing may be given\n");
        return 2;
    }

    tavcad::StartupOptions options;
    options.mainDirectory = parser.value(mainDir).toStdString();
    options.configDirectory = parser.value(configDir).toStdString();
    if (!parser.positionalArguments().isEmpty())
        options.drawing = parser.positionalArguments().front().toStdString();
    if (!parser.isSet(noModule))
        options.modulePath = tavcad::CadMainWindow::DefaultModulePath();

    tavcad::CadMainWindow window;
    window.show();
    window.Start(options);
    return app.exec();
}
