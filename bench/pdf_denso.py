#!/usr/bin/env python3
"""The PDF writer on a dense report beside texttopdf: time and file size.

    python3 bench/pdf_denso.py --escritor BIN [--paginas N] [--repeticoes N] [--smoke]

BIN is velmora_bench_pdf; with --velmora VELMORA the velmora program itself prints each report
once onto "Velmora PDF" instead (`velmora --once`, start-up included). Two reports of 60 lines of 71 non-blank characters a page, a form
feed ending each page: one with dot leaders, one a table of figures. Both programs run alternately, in random order, on the same file; the
medians are compared. texttopdf runs as in desempenho.py (the Generic-PDF PPD, A4).
"""

import argparse
import os
import random
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from desempenho import PPD_PDF, TEXTTOPDF, FalhaMedida, fmt_mb, fmt_s, grava, paginas_pdf, razao  # noqa: E402


def texto_denso(paginas, numeros, linhas=60):
    """Lines of 71 characters without a blank, the last of each page ending in a form feed.
    `numeros`: five pseudo-random fields a line (a table of figures); otherwise desempenho.py's
    report line with its blanks filled by dot leaders (one figure a line)."""
    saida = []
    for p in range(paginas):
        for i in range(linhas):
            k = p * linhas + i
            if numeros:
                campos = [f"P{p + 1:04d}L{i + 1:02d}", f"CLI{k * 7919 % 99991:05d}",
                          f"NF{k * 104729 % 1000000:06d}", f"QTD{k * 31 % 997:03d}",
                          f"VALOR{k * 7919 % 10000000:07d},{k % 100:02d}",
                          f"SALDO{k * 104729 % 100000000:08d}"]
                linha = "|".join(campos).ljust(68, "-") + "FIM"
            else:
                valor = (p * 7919 + i * 104729) % 1000000
                linha = f"PAGINA {p + 1:04d} LINHA {i + 1:02d} VALOR {valor:>9}"
                linha = linha.replace(" ", ".").ljust(68, ".") + "FIM"
            assert len(linha) == 71 and " " not in linha
            if i == linhas - 1:
                linha += "\f"
            saida.append(linha)
    return ("\r\n".join(saida) + "\r\n").encode("ascii")


def roda_cpu(cmd, env=None, stdout=subprocess.DEVNULL):
    """Runs cmd to its end; returns (wall seconds, CPU seconds)."""
    inicio = time.perf_counter()
    proc = subprocess.Popen(cmd, env=env, stdout=stdout, stderr=subprocess.PIPE)
    _, status, uso = os.wait4(proc.pid, 0)
    parede = time.perf_counter() - inicio
    erro = proc.stderr.read().decode(errors="replace")
    proc.stderr.close()
    if os.waitstatus_to_exitcode(status) != 0:
        raise FalhaMedida(f"{' '.join(cmd)} falhou: {erro.strip()}")
    return parede, uso.ru_utime + uso.ru_stime


def primeira_linha(pdf):
    texto = subprocess.run(["pdftotext", "-l", "1", pdf, "-"], capture_output=True,
                           text=True).stdout
    return texto.split("\n", 1)[0]


def velmora_uma_vez(velmora, raiz, origem, pdf, env):
    """velmora --once on a folder holding only the report; its PDF is moved to `pdf`."""
    jobs, saida = os.path.join(raiz, "jobs"), os.path.join(raiz, "pdf")
    for pasta in (jobs, saida):
        shutil.rmtree(pasta, ignore_errors=True)
        os.makedirs(pasta)
    ini = os.path.join(raiz, "VELMORA.INI")
    grava(ini, (f"LOCAL = {jobs}/*.TXT\r\nIMPRESSORA = Velmora PDF\r\nBACKUP = 0\r\n"
                "PARALELA = 0\r\nPORTA = \r\n").encode())
    shutil.copyfile(origem, os.path.join(jobs, "RELATORIO.TXT"))
    t = roda_cpu([os.path.abspath(velmora), "--once", "--ini", ini],
                 env=dict(env, VELMORA_PDF_DIR=saida, LC_PAPER="pt_BR.UTF-8"))
    shutil.move(os.path.join(saida, "RELATORIO.pdf"), pdf)
    return t


def mede(args, raiz, numeros):
    origem = os.path.join(raiz, "relatorio.txt")
    dados = texto_denso(args.paginas, numeros)
    grava(origem, dados)
    esperada = dados.split(b"\r\n", 1)[0].decode()
    env = dict(os.environ, CHARSET="utf-8", CONTENT_TYPE="text/plain", LC_ALL="C.UTF-8")
    if os.path.exists(PPD_PDF):
        env["PPD"] = PPD_PDF
    saidas = {"velmora": os.path.join(raiz, "velmora.pdf"),
              "texttopdf": os.path.join(raiz, "texttopdf.pdf")}
    parede = {quem: [] for quem in saidas}
    cpu = {quem: [] for quem in saidas}
    for _ in range(args.repeticoes):
        for quem in random.sample(list(saidas), len(saidas)):
            if quem == "velmora" and args.velmora:
                t = velmora_uma_vez(args.velmora, raiz, origem, saidas[quem], env)
            elif quem == "velmora":
                t = roda_cpu([os.path.abspath(args.escritor), origem, saidas[quem]])
            else:
                with open(saidas[quem], "wb") as f:
                    t = roda_cpu([TEXTTOPDF, "1", "bench", "relatorio", "1", "PageSize=A4",
                                  origem], env=env, stdout=f)
            parede[quem].append(t[0])
            cpu[quem].append(t[1])
    for quem, pdf in saidas.items():
        obtidas = paginas_pdf(pdf)
        # texttopdf starts one more, empty page after the last form feed.
        if obtidas is not None and not args.paginas <= obtidas <= args.paginas + 1:
            raise FalhaMedida(f"{quem}: {obtidas} páginas em vez de {args.paginas}")
        # texttopdf's font has no map back to Unicode: only Velmora's text is checked.
        if quem == "velmora" and primeira_linha(pdf).strip() != esperada:
            raise FalhaMedida(f"{quem}: a primeira linha lida é {primeira_linha(pdf)!r}")
    nome = "table of figures" if numeros else "dot leaders"
    print(f"{args.paginas} dense pages ({nome}), median of {args.repeticoes} alternating runs")
    cumpre = True
    for titulo, medidas in (("wall", parede), ("CPU", cpu)):
        v, p = (statistics.median(medidas[q]) for q in ("velmora", "texttopdf"))
        print(f"  {titulo} time: {fmt_s(v)} vs {fmt_s(p)} (texttopdf): {razao(v / p)} "
              f"(goal ≤ 0.25×); runs {[round(x, 3) for x in medidas['velmora']]} vs "
              f"{[round(x, 3) for x in medidas['texttopdf']]}")
        cumpre = cumpre and v / p <= 0.25
    tv, tp = (os.path.getsize(saidas[q]) for q in ("velmora", "texttopdf"))
    print(f"  size: {fmt_mb(tv)} vs {fmt_mb(tp)} (texttopdf): {razao(tv / tp)} (goal ≤ 0.1×)")
    return cumpre and tv / tp <= 0.1


def main():
    args = argparse.ArgumentParser()
    grupo = args.add_mutually_exclusive_group(required=True)
    grupo.add_argument("--escritor")
    grupo.add_argument("--velmora")
    args.add_argument("--paginas", type=int, default=1000)
    args.add_argument("--repeticoes", type=int, default=5)
    args.add_argument("--smoke", action="store_true")
    args = args.parse_args()
    if args.smoke:
        args.paginas, args.repeticoes = 5, 1
    if not os.access(TEXTTOPDF, os.X_OK):
        raise FalhaMedida(f"{TEXTTOPDF} não existe (pacote cups-filters)")
    raiz = tempfile.mkdtemp(prefix="velmora-pdf-denso.")
    try:
        cumpre = [mede(args, raiz, numeros) for numeros in (False, True)]
        return 0 if args.smoke or all(cumpre) else 1
    finally:
        shutil.rmtree(raiz, ignore_errors=True)


if __name__ == "__main__":
    try:
        sys.exit(main())
    except FalhaMedida as erro:
        print(f"pdf_denso: {erro}", file=sys.stderr)
        sys.exit(1)
