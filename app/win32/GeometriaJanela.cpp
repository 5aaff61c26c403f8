#include "app/win32/GeometriaJanela.h"

#include "app/win32/recursos/IdsFrmVelmora.h"

namespace velmora {

namespace {

// The layout in twips; a control inside a frame is placed relative to the frame.
struct Lugar {
    int id;
    int container;  // 0: the window
    int left, top, width, height;
};

constexpr Lugar kLugares[] = {
    {IDC_IMAGE, 0, 120, 120, 6585, 1890},
    {IDC_FRAMEINPRESSORAS, 0, 15, 2070, 6750, 720},
    {IDC_CBIMPRESSORAS, IDC_FRAMEINPRESSORAS, 90, 270, 6465, 315},
    {IDC_FRAMEARQUIVOSSELECIONADOS, 0, 15, 2805, 6750, 720},
    {IDC_TXTARQUIVOS, IDC_FRAMEARQUIVOSSELECIONADOS, 90, 270, 6435, 315},
    {IDC_FRAMEBACKUP, 0, 15, 3540, 6765, 1560},
    {IDC_CHKGERARBACKUP, IDC_FRAMEBACKUP, 90, 285, 3255, 195},
    {IDC_LABEL1, IDC_FRAMEBACKUP, 60, 1125, 2895, 255},
    {IDC_TXTPORTA, IDC_FRAMEBACKUP, 3120, 1080, 2775, 285},
    {IDC_LABEL, IDC_FRAMEBACKUP, 4920, 240, 1215, 255},
    {IDC_TXTTEMPO, IDC_FRAMEBACKUP, 6120, 240, 495, 285},
    {IDC_CMDCONFIRMAR, IDC_FRAMEBACKUP, 6080, 840, 630, 630},
    {IDC_CHKPARALELA, 0, 120, 4200, 2175, 195},
    {IDC_PICTICONEBANDEJA, 0, 6480, 4560, 480, 480},
    {IDC_TXTLOG, 0, 6840, 120, 5775, 4935},
};

constexpr int kLarguraCliente = 12750;
constexpr int kAlturaCliente = 5130;

// The list a drop-down combo box opens, below its field.
constexpr int kAlturaListaCombo = 3000;

const Lugar* lugarDe(int id) {
    for (const Lugar& lugar : kLugares) {
        if (lugar.id == id) return &lugar;
    }
    return nullptr;
}

// A combo box's window height is its field plus its list; the field's own height follows its
// item height, which is set so that the field has the layout's height.
void ajustaCombo(HWND combo, int alturaCampo, int alturaLista) {
    RECT campo{};
    // The field follows the item height by a border that only the control knows: set, measure,
    // correct. (Wine reads back a height other than the one set: the one set is the base.)
    LRESULT item = ::SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    for (int tentativa = 0; tentativa < 3 && item != CB_ERR; ++tentativa) {
        ::GetWindowRect(combo, &campo);
        const int diferenca = alturaCampo - (campo.bottom - campo.top);
        if (diferenca == 0 || item + diferenca < 1) break;
        item += diferenca;
        ::SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), item);
    }
    ::GetWindowRect(combo, &campo);
    ::SetWindowPos(combo, nullptr, 0, 0, campo.right - campo.left,
                   (campo.bottom - campo.top) + alturaLista, SWP_NOMOVE | SWP_NOZORDER);
}

}  // namespace

int pixels(int twips, int dpi) { return ::MulDiv(twips, dpi, 1440); }

int dpiDaJanela(HWND janela) {
    // GetDpiForWindow exists from Windows 10 on; before it, the screen's.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow != nullptr) {
        if (const UINT dpi = getDpiForWindow(janela); dpi != 0) return static_cast<int>(dpi);
    }
    HDC dc = ::GetDC(janela);
    const int dpi = dc != nullptr ? ::GetDeviceCaps(dc, LOGPIXELSX) : 96;
    if (dc != nullptr) ::ReleaseDC(janela, dc);
    return dpi > 0 ? dpi : 96;
}

void aplicaGeometria(HWND janela, int dpi) {
    RECT externo{0, 0, pixels(kLarguraCliente, dpi), pixels(kAlturaCliente, dpi)};
    ::AdjustWindowRectEx(&externo, static_cast<DWORD>(::GetWindowLongPtrW(janela, GWL_STYLE)),
                         FALSE, static_cast<DWORD>(::GetWindowLongPtrW(janela, GWL_EXSTYLE)));
    ::SetWindowPos(janela, nullptr, 0, 0, externo.right - externo.left,
                   externo.bottom - externo.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    for (const Lugar& lugar : kLugares) {
        HWND controle = ::GetDlgItem(janela, lugar.id);
        if (controle == nullptr) continue;
        // Each distance is rounded on its own, as the frame and its content are placed apart.
        int x = pixels(lugar.left, dpi);
        int y = pixels(lugar.top, dpi);
        if (const Lugar* frame = lugarDe(lugar.container)) {
            x += pixels(frame->left, dpi);
            y += pixels(frame->top, dpi);
        }
        const int largura = pixels(lugar.width, dpi);
        const int altura = pixels(lugar.height, dpi);
        ::SetWindowPos(controle, nullptr, x, y, largura, altura, SWP_NOZORDER | SWP_NOACTIVATE);
        if (lugar.id == IDC_CBIMPRESSORAS)
            ajustaCombo(controle, altura, pixels(kAlturaListaCombo, dpi));
    }
}

}  // namespace velmora
