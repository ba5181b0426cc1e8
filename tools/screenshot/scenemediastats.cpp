// Pictures of the media-stats import dialog and the watched folder's settings, over three
// head ends on line.

#include "core/hssocket.h"
#include "core/selection.h"
#include "core/sendpath.h"
#include "core/settings.h"
#include "mediastats/ui/frmmediastats.h"
#include "mediastats/ui/frmsetautoload.h"
#include "pictures.h"
#include "scenes.h"

using namespace vek;

namespace {

// A link that is up, with no server behind it: the dialog offers only head ends whose link
// is up.
class UpLink : public HsSocket
{
public:
    void connectToHost(const QByteArray &, quint16) override {}
    bool isConnected() const override { return true; }
    void send(const QByteArray &) override {}
    void close() override {}
    QString localAddress() const override { return {}; }
};

void setUp()
{
    const char *const names[] = {"Toronto North", "Ottawa East", "Hamilton West"};
    Settings &s = settings();
    for (int he = 1; he <= MaxHeadEnds; ++he) {
        s.HEName[size_t(he)] = "HeadEnd" + QByteArray::number(he);
        s.ShowHE[1][size_t(he)] = true;
    }
    for (int he = 1; he <= 3; ++he) {
        s.HEName[size_t(he)] = names[he - 1];
        s.HEOnLine[size_t(he)] = true;
        static UpLink link;
        setHsSocket(he, &link);
    }
    SelView() = 1;
}

bool importScene(Pictures &pictures)
{
    setUp();
    return pictures.saveAndDelete(new frmMediaStats, QStringLiteral("frmmediastats"));
}
VEK_SCENE("frmmediastats", importScene)

bool watchedFolderScene(Pictures &pictures)
{
    setUp();
    Settings &s = settings();
    s.AutoLoadPath = "/srv/mediastats/incoming/";
    s.AutoLoadCSV = true;
    s.AutoLoadDBF = true;
    return pictures.saveAndDelete(new frmSetAutoLoad, QStringLiteral("frmsetautoload"));
}
VEK_SCENE("frmsetautoload", watchedFolderScene)

} // namespace
