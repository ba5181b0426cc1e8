#include "linkhost.h"

namespace vek {

namespace {
LinkHost *g_host = nullptr;
}

LinkHost *linkHost()
{
    return g_host;
}

void setLinkHost(LinkHost *host)
{
    g_host = host;
}

} // namespace vek
