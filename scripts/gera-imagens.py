#!/usr/bin/env python3
"""Draws Velmora's pictures: the eye icons, the application icon, the confirm button picture and
the window's banner.

The generated files are committed, so the build never runs this. Run it again only after changing
a drawing:  python3 scripts/gera-imagens.py
Needs python3 alone, except the banner's lettering, which ImageMagick's `convert` sets (with the
URW fonts) and which also writes the JPEG.
"""

import os
import struct
import subprocess
import sys
import tempfile
import zlib

RAIZ = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RECURSOS = os.path.join(RAIZ, "app", "resources")
AMOSTRAS = 4  # samples per pixel side: smooth edges before the icons are cut to 16 colours


# ---------------------------------------------------------------------------------------------
# A tiny raster: RGBA floats, shapes given as point tests and painted with supersampling.


class Tela:
    def __init__(self, largura, altura, fundo=(0.0, 0.0, 0.0, 0.0)):
        self.largura = largura
        self.altura = altura
        self.px = [list(fundo) for _ in range(largura * altura)]

    def pinta(self, dentro, cor, caixa=None):
        """Paints `cor` (r, g, b in 0..255) where dentro(x, y) holds, x and y in pixels."""
        x0, y0, x1, y1 = caixa or (0, 0, self.largura, self.altura)
        x0, y0 = max(0, int(x0) - 1), max(0, int(y0) - 1)
        x1, y1 = min(self.largura, int(x1) + 2), min(self.altura, int(y1) + 2)
        r, g, b = (c / 255.0 for c in cor)
        passo = 1.0 / AMOSTRAS
        total = AMOSTRAS * AMOSTRAS
        for y in range(y0, y1):
            for x in range(x0, x1):
                n = 0
                for j in range(AMOSTRAS):
                    sy = y + (j + 0.5) * passo
                    for i in range(AMOSTRAS):
                        if dentro(x + (i + 0.5) * passo, sy):
                            n += 1
                if n:
                    a = n / total
                    p = self.px[y * self.largura + x]
                    fa = p[3] * (1 - a)
                    na = a + fa
                    p[0] = (r * a + p[0] * fa) / na
                    p[1] = (g * a + p[1] * fa) / na
                    p[2] = (b * a + p[2] * fa) / na
                    p[3] = na

    def gradiente_vertical(self, cima, baixo):
        for y in range(self.altura):
            t = y / max(1, self.altura - 1)
            cor = [(cima[k] + (baixo[k] - cima[k]) * t) / 255.0 for k in range(3)]
            for x in range(self.largura):
                self.px[y * self.largura + x] = cor + [1.0]

    def rgba8(self, x, y):
        p = self.px[y * self.largura + x]
        return tuple(max(0, min(255, round(c * 255))) for c in p)


def circulo(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def segmento(ax, ay, bx, by, espessura):
    """A line with round ends."""
    dx, dy = bx - ax, by - ay
    comp2 = dx * dx + dy * dy
    r2 = (espessura / 2.0) ** 2

    def dentro(x, y):
        t = 0.0 if comp2 == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / comp2))
        px, py = ax + t * dx - x, ay + t * dy - y
        return px * px + py * py <= r2

    return dentro


def retangulo(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def e(*formas):
    return lambda x, y: all(f(x, y) for f in formas)


def nao(forma):
    return lambda x, y: not forma(x, y)


# ---------------------------------------------------------------------------------------------
# The eye. Lids are parabolas meeting at the corners, which gives the almond shape.


PALPEBRA = (232, 190, 150)
CONTORNO = (28, 36, 64)


def amendoa(cx, cy, w, cima, baixo):
    """Points between the upper lid (`cima` above the centre) and the lower one (`baixo`)."""

    def dentro(x, y):
        u = (x - cx) / w
        if abs(u) >= 1:
            return False
        f = 1 - u * u
        return -cima * f <= y - cy <= baixo * f

    return dentro


def curva(cx, cy, w, altura, espessura):
    """A stroke along the parabola y = cy + altura * (1 - u²), u from -1 to 1."""

    def dentro(x, y):
        u = (x - cx) / w
        if abs(u) > 1:
            return False
        return abs(y - (cy + altura * (1 - u * u))) <= espessura / 2

    return dentro


def olho(tela, cx, cy, w, estado, traco):
    """estado: "aberto", "meio" (upper lid half down) or "fechado"."""
    cima, baixo = 0.64 * w, 0.52 * w
    caixa = (cx - w - traco, cy - cima - traco, cx + w + traco, cy + baixo + traco)
    fora = amendoa(cx, cy, w + traco * 0.6, cima + traco, baixo + traco)
    dentro = amendoa(cx, cy, w, cima, baixo)
    tela.pinta(fora, CONTORNO, caixa)

    if estado == "fechado":
        tela.pinta(dentro, PALPEBRA, caixa)
        # the shut lids meet low; the lashes hang below the eye
        tela.pinta(curva(cx, cy, w * 0.96, baixo * 0.6, traco * 1.1), CONTORNO, caixa)
        for u in (-0.6, -0.3, 0.0, 0.3, 0.6):
            x = cx + u * w
            y = cy + (baixo + traco) * (1 - u * u)
            tela.pinta(segmento(x, y, x + u * w * 0.22, y + w * 0.2, traco * 0.8), CONTORNO,
                       (x - w * 0.3, y - 2, x + w * 0.3, y + w * 0.3))
        return

    tela.pinta(dentro, (255, 255, 255), caixa)
    tela.pinta(e(dentro, nao(amendoa(cx, cy + baixo * 0.1, w * 0.92, cima * 0.9, baixo * 0.85))),
               (208, 214, 226), caixa)
    r = 0.44 * w
    iy = cy + 0.04 * w
    tela.pinta(e(dentro, circulo(cx, iy, r)), (18, 62, 130), caixa)
    tela.pinta(e(dentro, circulo(cx, iy, r * 0.84)), (38, 110, 200), caixa)
    tela.pinta(e(dentro, circulo(cx + r * 0.12, iy + r * 0.2, r * 0.62)), (120, 175, 235), caixa)
    tela.pinta(e(dentro, circulo(cx, iy, r * 0.42)), (8, 10, 20), caixa)
    tela.pinta(e(dentro, circulo(cx - r * 0.33, iy - r * 0.36, r * 0.2)), (255, 255, 255), caixa)

    if estado == "meio":
        # the upper lid comes down to just above the pupil
        borda = -0.12 * w

        def palpebra(x, y):
            u = (x - cx) / w
            return dentro(x, y) and y - cy <= borda * (1 - u * u)

        tela.pinta(palpebra, PALPEBRA, caixa)
        tela.pinta(e(amendoa(cx, cy, w * 1.02, cima + traco, baixo + traco),
                     curva(cx, cy, w, borda, traco * 1.1)), CONTORNO, caixa)


def marca_erro(tela, cx, cy, r):
    tela.pinta(circulo(cx, cy, r + 1.2), (255, 255, 255))
    tela.pinta(circulo(cx, cy, r), (205, 30, 35))
    d = r * 0.45
    tela.pinta(segmento(cx - d, cy - d, cx + d, cy + d, r * 0.38), (255, 255, 255))
    tela.pinta(segmento(cx - d, cy + d, cx + d, cy - d, r * 0.38), (255, 255, 255))


def folha(tela, x0, y0, x1, y1):
    """A printed sheet with a folded corner."""
    dobra = (x1 - x0) * 0.28

    def papel(x, y):
        return x0 <= x <= x1 and y0 <= y <= y1 and (x - (x1 - dobra)) + (y0 - y) <= 0

    borda = 1.6
    tela.pinta(lambda x, y: papel(x, y) or (
        x0 - borda <= x <= x1 + borda and y0 - borda <= y <= y1 + borda and
        (x - (x1 - dobra)) + (y0 - y) <= borda * 1.4), (120, 130, 155))
    tela.pinta(e(papel, retangulo(x0 + borda, y0 + borda, x1 - borda, y1 - borda)),
               (250, 248, 238))
    tela.pinta(lambda x, y: x >= x1 - dobra and y <= y0 + dobra and
               (x - (x1 - dobra)) + (y0 - y) >= 0 and x <= x1 and y >= y0, (208, 214, 226))
    y = y0 + dobra + 3
    while y < y1 - 6:
        fim = x1 - 6 if int(y) % 3 else x1 - 14
        tela.pinta(retangulo(x0 + 5, y, fim, y + 1.6), (150, 150, 160))
        y += 5


# ---------------------------------------------------------------------------------------------
# Writers: PNG (colour types 2 and 6) and single-image 16-colour ICO, both by hand.


def png(caminho, tela, alfa):
    linhas = bytearray()
    for y in range(tela.altura):
        linhas.append(0)
        for x in range(tela.largura):
            p = tela.rgba8(x, y)
            linhas.extend(p if alfa else p[:3])

    def pedaco(tipo, dados):
        corpo = tipo + dados
        return struct.pack(">I", len(dados)) + corpo + struct.pack(">I", zlib.crc32(corpo))

    cabeca = struct.pack(">IIBBBBB", tela.largura, tela.altura, 8, 6 if alfa else 2, 0, 0, 0)
    with open(caminho, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + pedaco(b"IHDR", cabeca) +
                pedaco(b"IDAT", zlib.compress(bytes(linhas), 9)) + pedaco(b"IEND", b""))


# Index 0 is black and also fills the transparent pixels (their AND-mask bit is set).
PALETA = [
    (0, 0, 0), (28, 36, 64), (255, 255, 255), (208, 214, 226),
    (120, 130, 155), (18, 62, 130), (38, 110, 200), (120, 175, 235),
    (232, 190, 150), (190, 140, 105), (205, 30, 35), (120, 10, 15),
    (250, 248, 238), (150, 150, 160), (70, 80, 110), (8, 10, 20),
]


def quantiza(tela):
    """Each pixel to (palette index, transparent?)."""
    saida = []
    for y in range(tela.altura):
        for x in range(tela.largura):
            r, g, b, a = tela.rgba8(x, y)
            if a < 128:
                saida.append((0, True))
                continue
            melhor = min(range(1, 16), key=lambda i: (PALETA[i][0] - r) ** 2 +
                         (PALETA[i][1] - g) ** 2 + (PALETA[i][2] - b) ** 2)
            saida.append((melhor, False))
    return saida


def ico16(caminho, tela):
    w, h = tela.largura, tela.altura
    pixels = quantiza(tela)
    cor = bytearray()
    mascara = bytearray()
    for y in reversed(range(h)):  # DIB rows run bottom-up
        linha = pixels[y * w:(y + 1) * w]
        for x in range(0, w, 2):
            cor.append(linha[x][0] << 4 | linha[x + 1][0])
        cor.extend(b"\0" * (-(w // 2) % 4))
        bits = bytearray((w + 7) // 8)
        for x, (_, transparente) in enumerate(linha):
            if transparente:
                bits[x // 8] |= 0x80 >> (x % 8)
        mascara.extend(bits + b"\0" * (-len(bits) % 4))
    paleta = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in PALETA)
    dib = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 4, 0, len(cor) + len(mascara), 0, 0, 16,
                      0) + paleta + bytes(cor) + bytes(mascara)
    cabeca = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", w % 256, h % 256, 16, 0, 1,
                                                         4, len(dib), 22)
    with open(caminho, "wb") as f:
        f.write(cabeca + dib)


def como_quantizada(tela):
    """The same picture as the 16-colour icon shows it, for the desktop's PNG icon."""
    nova = Tela(tela.largura, tela.altura)
    for i, (indice, transparente) in enumerate(quantiza(tela)):
        if not transparente:
            nova.px[i] = [c / 255.0 for c in PALETA[indice]] + [1.0]
    return nova


# ---------------------------------------------------------------------------------------------
# The pictures.


def icone_olho(estado, erro=False):
    tela = Tela(64, 64)
    olho(tela, 32, 33, 29, estado, 3.0)
    if erro:
        marca_erro(tela, 50, 50, 12)
    return tela


def icone_aplicacao():
    tela = Tela(64, 64)
    folha(tela, 6, 2, 46, 56)
    olho(tela, 38, 46, 24, "aberto", 2.6)
    return tela


def confirmar():
    tela = Tela(44, 44, (240 / 255.0, 240 / 255.0, 240 / 255.0, 1.0))
    tela.pinta(circulo(22, 22, 19.5), (30, 110, 50))
    tela.pinta(circulo(22, 22, 17.5), (46, 150, 70))
    tela.pinta(circulo(20, 19, 12), (70, 172, 92))
    for a, b in (((12, 23), (19, 30)), ((19, 30), (32, 15))):
        tela.pinta(segmento(a[0], a[1], b[0], b[1], 5.0), (255, 255, 255))
    return tela


def banner(destino):
    tela = Tela(401, 102)
    tela.gradiente_vertical((252, 252, 254), (222, 232, 246))
    tela.pinta(retangulo(0, 98, 401, 102), (28, 36, 64))
    tela.pinta(retangulo(0, 95.5, 401, 97), (38, 110, 200))
    olho(tela, 72, 48, 50, "aberto", 4.0)
    with tempfile.TemporaryDirectory() as pasta:
        bruto = os.path.join(pasta, "banner.png")
        png(bruto, tela, alfa=False)
        subprocess.run([
            "convert", bruto,
            "-font", "NimbusSans-Bold", "-pointsize", "58", "-fill", "#1c2440",
            "-annotate", "+142+60", "Velmora",
            "-font", "NimbusSans-Regular", "-pointsize", "17", "-fill", "#4a5878",
            "-annotate", "+145+84", "Impressão de arquivos texto",
            "-strip", "-sampling-factor", "4:4:4", "-quality", "92", destino,
        ], check=True)


def main():
    imagens = os.path.join(RECURSOS, "imagens")
    icones = os.path.join(RECURSOS, "icones")
    os.makedirs(imagens, exist_ok=True)
    os.makedirs(icones, exist_ok=True)

    for nome, estado, erro in (("ATIVOABERTO", "aberto", False),
                               ("ATIVOMEIOABERTO", "meio", False),
                               ("ATIVOFECHADO", "fechado", False),
                               ("ERRO", "aberto", True)):
        ico16(os.path.join(icones, nome + ".ico"), icone_olho(estado, erro))

    app = icone_aplicacao()
    ico16(os.path.join(icones, "velmora.ico"), app)
    png(os.path.join(RECURSOS, "velmora.png"), como_quantizada(app), alfa=True)
    png(os.path.join(imagens, "confirmar.png"), confirmar(), alfa=False)
    banner(os.path.join(imagens, "banner.jpg"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
