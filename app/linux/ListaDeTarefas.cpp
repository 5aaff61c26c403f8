#include "app/linux/ListaDeTarefas.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QWidget>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace velmora {

namespace {

xcb_atom_t atomo(xcb_connection_t* conexao, const char* nome) {
    const xcb_intern_atom_cookie_t pedido =
        xcb_intern_atom(conexao, 0, static_cast<std::uint16_t>(std::strlen(nome)), nome);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> resposta(
        xcb_intern_atom_reply(conexao, pedido, nullptr), &std::free);
    return resposta ? resposta->atom : xcb_atom_t{XCB_ATOM_NONE};
}

std::vector<xcb_atom_t> estadoAtual(xcb_connection_t* conexao, xcb_window_t janela,
                                    xcb_atom_t netWmState) {
    const xcb_get_property_cookie_t pedido =
        xcb_get_property(conexao, 0, janela, netWmState, XCB_ATOM_ATOM, 0, 1024);
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> resposta(
        xcb_get_property_reply(conexao, pedido, nullptr), &std::free);
    if (!resposta || resposta->format != 32 || resposta->type != XCB_ATOM_ATOM) return {};
    const auto* atomos = static_cast<const xcb_atom_t*>(xcb_get_property_value(resposta.get()));
    return std::vector<xcb_atom_t>(atomos, atomos + resposta->value_len);
}

}  // namespace

bool retiraDaListaDeTarefas(QWidget& janela) {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection()) return false;
    xcb_connection_t* conexao = x11->connection();
    const auto id = static_cast<xcb_window_t>(janela.winId());  // creates the native window

    const xcb_atom_t netWmState = atomo(conexao, "_NET_WM_STATE");
    const xcb_atom_t pular[] = {atomo(conexao, "_NET_WM_STATE_SKIP_TASKBAR"),
                                atomo(conexao, "_NET_WM_STATE_SKIP_PAGER")};
    if (netWmState == XCB_ATOM_NONE) return false;

    // Qt adds its own states to what it finds in the property when it maps the window.
    std::vector<xcb_atom_t> estado = estadoAtual(conexao, id, netWmState);
    for (const xcb_atom_t atomo : pular) {
        if (atomo != XCB_ATOM_NONE &&
            std::find(estado.begin(), estado.end(), atomo) == estado.end())
            estado.push_back(atomo);
    }
    xcb_change_property(conexao, XCB_PROP_MODE_REPLACE, id, netWmState, XCB_ATOM_ATOM, 32,
                        static_cast<std::uint32_t>(estado.size()), estado.data());

    // A window manager reads the property when it takes a window in, and then owns it. Qt maps a
    // minimised window again as soon as its state turns normal, even a hidden one, so the window
    // may be taken in already: the manager is asked too (it ignores windows it does not have).
    xcb_client_message_event_t pedido{};
    pedido.response_type = XCB_CLIENT_MESSAGE;
    pedido.format = 32;
    pedido.window = id;
    pedido.type = netWmState;
    pedido.data.data32[0] = 1;  // _NET_WM_STATE_ADD
    pedido.data.data32[1] = pular[0];
    pedido.data.data32[2] = pular[1];
    pedido.data.data32[3] = 1;  // from a normal application
    xcb_send_event(conexao, 0, xcb_setup_roots_iterator(xcb_get_setup(conexao)).data->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&pedido));
    xcb_flush(conexao);
    return true;
}

}  // namespace velmora
