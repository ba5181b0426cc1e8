#include <QApplication>
#include <QLabel>
#include <QMainWindow>

#include "core/log.h"
#include "core/settings.h"
#include "core/users.h"
#include "platform/failure.h"
#include "platform/text.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));

    try {
        vek::LoadSettings();
        vek::LoadUsers();
    } catch (const vek::Failure &f) {
        vek::logError("Error (MDIForm_Load)", f);
    }

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Quenrath VEK Software Version %1.%2.%3")
                              .arg(VEK_VERSION_MAJOR)
                              .arg(VEK_VERSION_MINOR)
                              .arg(VEK_VERSION_PATCH));
    window.resize(800, 600);
    window.show();
    vek::WriteLog("Program Started");
    return app.exec();
}
