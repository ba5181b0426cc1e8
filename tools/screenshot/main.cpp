// vek-screenshot SCENE FOLDER: makes the pictures of one scene (for docs/) into FOLDER;
//   scripts/pictures.sh runs every scene, each in a process of its own.
// vek-screenshot --list: the scenes' names, one a line.
// vek-screenshot --screen FILE.png: saves the whole screen of the current X display (the
//   demo run uses it under Xvfb; unlike xwd it also captures windows drawn with an alpha
//   visual).
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QScreen>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>

#include "pictures.h"
#include "scenes.h"

namespace {

int usage()
{
    std::fprintf(stderr, "usage: vek-screenshot SCENE FOLDER | --list | --screen FILE.png\n");
    return 2;
}

int saveScreen(const char *file)
{
    QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen || !screen->grabWindow(0).save(QString::fromLocal8Bit(file))) {
        std::fprintf(stderr, "vek-screenshot: could not save %s\n", file);
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--list") == 0) {
        for (const Scene &s : scenes())
            std::printf("%s\n", s.name);
        return 0;
    }
    if (argc != 3)
        return usage();
    QApplication app(argc, argv);
    if (std::strcmp(argv[1], "--screen") == 0)
        return saveScreen(argv[2]);

    const Scene *scene = nullptr;
    for (const Scene &s : scenes()) {
        if (std::strcmp(argv[1], s.name) == 0)
            scene = &s;
    }
    if (!scene) {
        std::fprintf(stderr, "vek-screenshot: no scene %s; the scenes are:", argv[1]);
        for (const Scene &s : scenes())
            std::fprintf(stderr, " %s", s.name);
        std::fprintf(stderr, "\n");
        return 2;
    }
    QApplication::setStyle(QStringLiteral("Fusion"));
    // The console's files of the scene go to a data folder of its own.
    QTemporaryDir home;
    if (!home.isValid())
        return Pictures::fail(QStringLiteral("no temporary folder")) ? 0 : 1;
    qputenv("VEK_HOME", home.path().toLocal8Bit());
    const QString folder = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(folder);
    Pictures pictures(folder);
    return scene->make(pictures) ? 0 : 1;
}
