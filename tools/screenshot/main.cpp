// vek-screenshot FILE.png: saves the whole screen of the current X display. The demo run
// uses it under Xvfb; unlike xwd it also captures windows drawn with an alpha visual.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: vek-screenshot FILE.png\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen || !screen->grabWindow(0).save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "vek-screenshot: could not save %s\n", argv[1]);
        return 1;
    }
    return 0;
}
