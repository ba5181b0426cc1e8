#include "keyboardstate.h"

#include <QGuiApplication>
#include <QKeyEvent>

#if defined(VEK_HAVE_XKB) && QT_CONFIG(xcb)
#include <cstdlib>
#include <xcb/xcb.h>
// The XKB header names a field "explicit", a C++ keyword.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit
#define VEK_READ_XKB 1
#endif

namespace vek {

KeyboardState::KeyboardState(QObject *parent) : QObject(parent)
{
    if (qGuiApp)
        qGuiApp->installEventFilter(this);
}

KeyboardState::~KeyboardState()
{
    if (qGuiApp)
        qGuiApp->removeEventFilter(this);
}

std::optional<KeyboardState::Locks> KeyboardState::locks()
{
#ifdef VEK_READ_XKB
    // The X connection Qt already holds; none under another platform.
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t *c = x11 ? x11->connection() : nullptr;
    if (c == nullptr)
        return std::nullopt;
    static xcb_connection_t *checked = nullptr;
    static bool supported = false;
    if (checked != c) {
        checked = c;
        xcb_xkb_use_extension_reply_t *use = xcb_xkb_use_extension_reply(
            c, xcb_xkb_use_extension(c, XCB_XKB_MAJOR_VERSION, XCB_XKB_MINOR_VERSION), nullptr);
        supported = use != nullptr && use->supported;
        std::free(use);
    }
    if (!supported)
        return std::nullopt;
    xcb_xkb_get_state_reply_t *state =
        xcb_xkb_get_state_reply(c, xcb_xkb_get_state(c, XCB_XKB_ID_USE_CORE_KBD), nullptr);
    if (state == nullptr)
        return std::nullopt;
    // Num Lock is bound to Mod2 on X11 keyboards.
    Locks l;
    l.caps = (state->lockedMods & XCB_MOD_MASK_LOCK) != 0;
    l.num = (state->lockedMods & XCB_MOD_MASK_2) != 0;
    std::free(state);
    return l;
#else
    return std::nullopt;
#endif
}

bool KeyboardState::eventFilter(QObject *watched, QEvent *event)
{
    // The application sees each key once per receiving widget chain; take it at the
    // window it was sent to.
    if (event->type() == QEvent::KeyPress && watched->isWindowType()) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Insert && !key->isAutoRepeat() &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            m_insert = !m_insert;
            emit changed();
        } else if (key->key() == Qt::Key_CapsLock || key->key() == Qt::Key_NumLock) {
            emit changed();
        }
    }
    return false;
}

} // namespace vek
