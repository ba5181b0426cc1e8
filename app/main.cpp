#include <QApplication>
#include <QStringList>

#include "channelview/channelwindows.h"
#include "core/consolecore.h"
#include "core/ui/mdimain.h"
#include "eventview/eventviews.h"
#include "mediastats/ui/mediastatsopeners.h"
#include "settings/settingsopeners.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));

    vek::MDIMain window;
    vek::ConsoleCore core(&window);
    window.attach(&core);
    vek::installEventViewOpener(&window);
    vek::installSettingsOpeners(&window);
    vek::installChannelViewOpeners(&window);
    vek::installMediaStats(&window);
    window.show();
    // The command line is tested by substring, as one upper-cased text.
    core.MDIForm_Load(QCoreApplication::arguments().mid(1).join(QLatin1Char(' ')));
    if (window.ended())
        return 1;
    return app.exec();
}
