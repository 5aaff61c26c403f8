#!/usr/bin/env python3
"""Velmora's benchmarks: every measure run beside its peer, in the same run, on the same machine.

    python3 bench/desempenho.py --velmora BIN --copia BIN [--smoke] [--repeticoes N]

Prints one table (measure, Velmora, peer, ratio, goal, met). Each measure runs several times and
the medians are compared. --smoke runs tiny sizes in seconds and checks no goal, but still fails
when a measure cannot run or gives a wrong result. Exit status: 0 when every measure ran (and, in a
full run, met its goal), 1 otherwise.

Velmora is resident: it starts once and then drains its folder tick after tick. So for the
measures of a tick, its time is the wall time of `velmora --once` minus the median wall time of
`velmora --once` on an empty folder (start-up and exit), both measured in the same run; the
start-up time is printed as a row of its own.
"""

import argparse
import os
import random
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

TEXTTOPDF = "/usr/lib/cups/filter/texttopdf"
PPD_PDF = "/usr/share/ppd/cupsfilters/Generic-PDF_Printer-PDF.ppd"
MB = 1024 * 1024


class FalhaMedida(Exception):
    """A measure that could not run or whose output was wrong."""


# ---------------------------------------------------------------------------------------------
# Processes


GNU_TIME = "/usr/bin/time"


def roda(cmd, env=None, cwd=None, stdout=subprocess.DEVNULL, entrada=None, pico_proprio=False):
    """Runs cmd to its end; returns (wall seconds, peak RSS in bytes). The peak that wait4 gives
    for a child spawned from here also counts this Python's own memory (the child starts as a
    copy of it), which holds the test data; pico_proprio starts cmd from GNU time instead, so
    the peak is cmd's alone (and the wall time holds time's start-up too)."""
    if pico_proprio:
        with tempfile.NamedTemporaryFile() as medida:
            parede, _ = roda([GNU_TIME, "-f", "%M", "-o", medida.name] + list(cmd), env, cwd,
                             stdout, entrada)
            return parede, int(medida.read().split()[-1]) * 1024
    with tempfile.TemporaryFile() as erros:
        inicio = time.perf_counter()
        proc = subprocess.Popen(cmd, env=env, cwd=cwd, stdout=stdout, stderr=erros, stdin=entrada)
        _, status, uso = os.wait4(proc.pid, 0)
        parede = time.perf_counter() - inicio
        proc.returncode = os.waitstatus_to_exitcode(status)
        erros.seek(0)
        erro = erros.read().decode(errors="replace")
    if proc.returncode != 0:
        raise FalhaMedida(f"{' '.join(map(str, cmd))} saiu com {proc.returncode}: {erro.strip()}")
    return parede, uso.ru_maxrss * 1024


def cpu_segundos(pid):
    """CPU time of all the threads of a process. schedstat counts nanoseconds; /proc/PID/stat
    counts clock ticks of 10 ms, too coarse for a program that idles for a minute."""
    total = 0
    try:
        for tarefa in os.listdir(f"/proc/{pid}/task"):
            with open(f"/proc/{pid}/task/{tarefa}/schedstat") as f:
                total += int(f.read().split()[0])
        return total / 1e9
    except (FileNotFoundError, ProcessLookupError, IndexError, ValueError):
        pass
    with open(f"/proc/{pid}/stat") as f:
        campos = f.read().rsplit(")", 1)[1].split()
    # utime and stime are fields 14 and 15; the split starts at field 3.
    return (int(campos[11]) + int(campos[12])) / os.sysconf("SC_CLK_TCK")


def rss_bytes(pid):
    with open(f"/proc/{pid}/status") as f:
        for linha in f:
            if linha.startswith("VmRSS:"):
                return int(linha.split()[1]) * 1024
    raise FalhaMedida(f"sem VmRSS para o processo {pid}")


def vivo(proc):
    return proc.poll() is None


def termina(proc, segundos=5):
    if proc is None or not vivo(proc):
        return
    proc.send_signal(signal.SIGTERM)
    try:
        proc.wait(segundos)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()


def espera(condicao, segundos, passo=0.001):
    limite = time.monotonic() + segundos
    while not condicao():
        if time.monotonic() > limite:
            return False
        time.sleep(passo)
    return True


# ---------------------------------------------------------------------------------------------
# Jobs


def texto_job(numero, linhas, tamanho):
    """A job of exactly `tamanho` bytes in `linhas` lines, each ended by CR LF."""
    util = tamanho - 2 * linhas
    base, sobra = divmod(util, linhas)
    saida = []
    for i in range(linhas):
        largura = base + (1 if i < sobra else 0)
        saida.append(f"JOB {numero:05d} LINHA {i + 1:02d} ".ljust(largura, "."))
    return ("\r\n".join(saida) + "\r\n").encode("ascii")


def texto_denso(paginas, linhas=60, largura=71):
    """A dense report: `linhas` lines of `largura` characters, none of them blank, a form feed
    ending each page. The padded report below is mostly blanks, which Velmora skips and texttopdf
    does not; this one gives neither side that help."""
    simbolos = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.,;:-+*/=()"
    saida = []
    for p in range(paginas):
        for i in range(linhas):
            cabeca = f"P{p + 1:04d}L{i + 1:02d}|"
            semente = p * 7919 + i * 104729
            corpo = "".join(simbolos[(semente + k * 31) % len(simbolos)]
                            for k in range(largura - len(cabeca)))
            linha = cabeca + corpo
            if i == linhas - 1:
                linha += "\f"
            saida.append(linha)
    return ("\r\n".join(saida) + "\r\n").encode("ascii")


def texto_paginas(paginas, linhas=60):
    """A report of `paginas` pages of `linhas` lines; the last line of each page ends in a form
    feed, as a text-mode program ends a page."""
    saida = []
    for p in range(paginas):
        for i in range(linhas):
            linha = f"PAGINA {p + 1:04d} LINHA {i + 1:02d} VALOR {(p * 7919 + i * 104729) % 1000000:>9}"
            linha = linha.ljust(70, " ") + "FIM"
            if i == linhas - 1:
                linha += "\f"
            saida.append(linha)
    return ("\r\n".join(saida) + "\r\n").encode("ascii")


def grava(caminho, dados):
    with open(caminho, "wb") as f:
        f.write(dados)


def grava_grande(caminho, tamanho):
    """A job of about `tamanho` bytes: 68-byte lines (66 characters + CR LF)."""
    bloco = b"".join(f"LINHA {i:08d} ".ljust(66, "x").encode() + b"\r\n" for i in range(15420))
    with open(caminho, "wb") as f:
        escrito = 0
        while escrito + len(bloco) <= tamanho:
            f.write(bloco)
            escrito += len(bloco)
    return escrito


# ---------------------------------------------------------------------------------------------
# The run's folders and Velmora's environment


class Bancada:
    def __init__(self, args):
        self.velmora = os.path.abspath(args.velmora)
        self.copia = os.path.abspath(args.copia)
        self.smoke = args.smoke
        self.repeticoes = args.repeticoes or (1 if args.smoke else 5)
        self.raiz = tempfile.mkdtemp(prefix="velmora-bench.")
        self.jobs = os.path.join(self.raiz, "jobs")
        self.trabalho = os.path.join(self.raiz, "trabalho")  # Velmora's current folder
        self.pdf = os.path.join(self.raiz, "pdf")
        casa = os.path.join(self.raiz, "casa")
        execucao = os.path.join(self.raiz, "run")
        for pasta in (self.jobs, self.trabalho, self.pdf, casa):
            os.makedirs(pasta)
        os.makedirs(execucao, mode=0o700)
        self.saida = os.path.join(self.raiz, "porta.out")
        self.env = dict(os.environ)
        self.env.update({
            "HOME": casa,
            "XDG_CONFIG_HOME": os.path.join(casa, ".config"),
            "XDG_RUNTIME_DIR": execucao,
            "VELMORA_PDF_DIR": self.pdf,
            # No print server is asked: the raw path writes to a file, the printer path to the
            # built-in PDF printer.
            "CUPS_SERVER": os.path.join(self.raiz, "sem-cups.sock"),
            "LC_ALL": "C.UTF-8",
        })
        for var in ("VELMORA_CODEPAGE", "QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"):
            self.env.pop(var, None)
        self._inicio = None

    def limpa(self):
        shutil.rmtree(self.raiz, ignore_errors=True)

    def ini(self, paralela, nome="VELMORA.INI", pasta=None):
        caminho = os.path.join(self.raiz, nome)
        local = os.path.join(pasta or self.jobs, "*.TXT")
        with open(caminho, "w", newline="") as f:
            f.write(f"LOCAL = {local}\r\nIMPRESSORA = Velmora PDF\r\nBACKUP = 0\r\n"
                    f"PARALELA = {'1' if paralela else '0'}\r\nPORTA = {self.saida}\r\n")
        return caminho

    def limpa_pasta(self, pasta):
        for nome in os.listdir(pasta):
            os.unlink(os.path.join(pasta, nome))

    def velmora_uma_vez(self, ini, pico_proprio=False):
        return roda([self.velmora, "--once", "--ini", ini], env=self.env, cwd=self.trabalho,
                    pico_proprio=pico_proprio)

    def ini_vazio(self):
        """Settings of a raw tick on a folder without jobs."""
        os.makedirs(os.path.join(self.raiz, "vazia"), exist_ok=True)
        return self.ini(True, "VAZIO.INI", os.path.join(self.raiz, "vazia"))

    def inicio(self):
        """Median wall time of `velmora --once` on an empty folder: start-up and exit."""
        if self._inicio is None:
            ini = self.ini_vazio()
            tempos = [self.velmora_uma_vez(ini)[0] for _ in range(max(3, self.repeticoes))]
            self._inicio = statistics.median(tempos)
        return self._inicio

    def confere_drenado(self, pasta, ultimo):
        restantes = [n for n in os.listdir(pasta) if n.upper().endswith(".TXT")]
        if restantes:
            raise FalhaMedida(f"{len(restantes)} job(s) ficaram na pasta {pasta}")
        with open(self.saida, "rb") as f:
            if f.read() != ultimo:
                raise FalhaMedida(f"{self.saida} não termina com os bytes do último job")
        if any(n.startswith("temp") for n in os.listdir(self.trabalho)):
            raise FalhaMedida("sobrou um arquivo temporário")


# ---------------------------------------------------------------------------------------------
# Measures. Each returns rows: (measure, velmora, peer, ratio, goal, met) with met None when no
# goal applies.


def fmt_s(s):
    if s < 0.01:
        return f"{s * 1e6:.0f} µs"
    return f"{s * 1000:.1f} ms" if s < 10 else f"{s:.2f} s"


def fmt_mb(b):
    return f"{b / MB:.1f} MB"


def razao(valor):
    return f"{valor:.2f}×"


class JobsPequenos:
    """`n` jobs of 4 KB in the jobs folder, drained by Velmora in one tick or by a peer."""

    LACO = 'for f in "$1"/*.TXT; do cat "$f" >> "$2"; rm "$f"; done'

    def __init__(self, b, n):
        self.b = b
        self.n = n
        self.jobs = [texto_job(i, 60, 4096) for i in range(n)]
        self.ini = b.ini(True)

    def prepara(self):
        self.b.limpa_pasta(self.b.jobs)
        for i, dados in enumerate(self.jobs):
            grava(os.path.join(self.b.jobs, f"J{i:05d}.TXT"), dados)
        if os.path.exists(self.b.saida):
            os.unlink(self.b.saida)

    def roda(self, quem):
        """Wall time of one drain by `quem`: velmora, shell or copia."""
        b = self.b
        self.prepara()
        if quem == "velmora":
            t = b.velmora_uma_vez(self.ini)[0] - b.inicio()
            # Each job is copied onto the port path, which then holds the last one.
            b.confere_drenado(b.jobs, self.jobs[-1])
            return t
        comando = ["bash", "-c", self.LACO, "laco"] if quem == "shell" else [b.copia]
        t = roda(comando + [b.jobs, b.saida])[0]
        # The peers append: the same bytes handed over, without truncating a file.
        b.confere_drenado(b.jobs, b"".join(self.jobs))
        return t


def mede_1000_jobs(b):
    lote = JobsPequenos(b, 20 if b.smoke else 1000)
    tempos = {"velmora": [], "shell": [], "copia": []}
    for _ in range(b.repeticoes):
        for quem in random.sample(list(tempos), len(tempos)):
            tempos[quem].append(lote.roda(quem))
    v, s, c = (statistics.median(tempos[k]) for k in ("velmora", "shell", "copia"))
    v = max(v, 1e-4)
    nome = f"Raw path: {lote.n} jobs of 4 KB, one tick"
    return [
        (nome + " vs (a) shell loop", fmt_s(v), fmt_s(s), razao(s / v) + " faster",
         "≥ 15× faster", s / v >= 15),
        (nome + " vs (b) C++ open/read/write/unlink", fmt_s(v), fmt_s(c),
         razao(c / v) + " the speed", "≥ 0.5× the speed", c / v >= 0.5),
    ]


def mede_3000_jobs(b):
    """A tick three times as full must cost three times as much, not nine: nothing per job may
    grow with the number of jobs."""
    poucos = JobsPequenos(b, 20 if b.smoke else 1000)
    muitos = JobsPequenos(b, 60 if b.smoke else 3000)
    tempos = {"poucos": [], "muitos": []}
    for _ in range(b.repeticoes):
        for quem in random.sample(list(tempos), len(tempos)):
            lote = poucos if quem == "poucos" else muitos
            tempos[quem].append(lote.roda("velmora") / lote.n)
    m = statistics.median(tempos["muitos"])
    p = max(statistics.median(tempos["poucos"]), 1e-7)
    return [(f"Raw path: {muitos.n} jobs of 4 KB, time per job", fmt_s(m),
             fmt_s(p) + f" ({poucos.n} jobs)", razao(m / p) + " the time", "≤ 1.2× the time",
             m / p <= 1.2)]


def paginas_pdf(caminho):
    if not shutil.which("pdfinfo"):
        return None
    saida = subprocess.run(["pdfinfo", caminho], capture_output=True, text=True).stdout
    for linha in saida.splitlines():
        if linha.startswith("Pages:"):
            return int(linha.split()[1])
    raise FalhaMedida(f"{caminho} não é um PDF legível")


def mede_pdf(b):
    """The printer path on the dense report and on the padded one, each beside texttopdf."""
    if not os.access(TEXTTOPDF, os.X_OK):
        raise FalhaMedida(f"{TEXTTOPDF} não existe (pacote cups-filters)")
    paginas = 5 if b.smoke else 1000
    return (mede_relatorio_pdf(b, "dense", texto_denso(paginas), paginas, 0.25) +
            mede_relatorio_pdf(b, "padded", texto_paginas(paginas), paginas, 0.35))


def mede_relatorio_pdf(b, tipo, dados, paginas, meta):
    ini = b.ini(False)
    origem = os.path.join(b.raiz, "relatorio.txt")
    grava(origem, dados)
    pdf_par = os.path.join(b.raiz, "texttopdf.pdf")
    env_filtro = dict(b.env, CHARSET="utf-8", CONTENT_TYPE="text/plain")
    if os.path.exists(PPD_PDF):
        env_filtro["PPD"] = PPD_PDF

    tempos = {"velmora": [], "texttopdf": []}
    tamanhos = {}
    for _ in range(b.repeticoes):
        for quem in random.sample(list(tempos), len(tempos)):
            if quem == "velmora":
                b.limpa_pasta(b.pdf)
                b.limpa_pasta(b.jobs)
                shutil.copyfile(origem, os.path.join(b.jobs, "RELATORIO.TXT"))
                t = b.velmora_uma_vez(ini)[0] - b.inicio()
                pdf = os.path.join(b.pdf, "RELATORIO.pdf")
                if not os.path.exists(pdf):
                    raise FalhaMedida(f"o Velmora não gravou {pdf}: {os.listdir(b.pdf)}")
            else:
                with open(pdf_par, "wb") as f:
                    t = roda([TEXTTOPDF, "1", "bench", "relatorio", "1", "PageSize=A4", origem],
                             env=env_filtro, stdout=f)[0]
                pdf = pdf_par
            tempos[quem].append(t)
            tamanhos[quem] = os.path.getsize(pdf)
            obtidas = paginas_pdf(pdf)
            # texttopdf starts one more, empty page after the last form feed.
            if obtidas is not None and not paginas <= obtidas <= paginas + 1:
                raise FalhaMedida(f"{quem}: {obtidas} páginas em vez de {paginas}")
    v, p = statistics.median(tempos["velmora"]), statistics.median(tempos["texttopdf"])
    v = max(v, 1e-4)
    razao_tamanho = tamanhos["velmora"] / tamanhos["texttopdf"]
    return [
        (f"Printer path: {paginas} {tipo} pages to PDF, time", fmt_s(v),
         fmt_s(p) + " (texttopdf)", razao(v / p) + " the time", f"≤ {meta}× the time",
         v / p <= meta),
        (f"Printer path: {paginas} {tipo} pages to PDF, PDF size", fmt_mb(tamanhos["velmora"]),
         fmt_mb(tamanhos["texttopdf"]), razao(razao_tamanho), "≤ 0.1× the size",
         razao_tamanho <= 0.1),
    ]


def mede_job_grande(b):
    alvo = 1 * MB if b.smoke else 100 * MB
    origem = os.path.join(b.raiz, "grande.txt")
    tamanho = grava_grande(origem, alvo)
    with open(origem, "rb") as f:
        ultimo = f.read()
    ini = b.ini(True)
    tempos = {"velmora": [], "cp": []}
    rss = []
    # The peak of a tick without jobs: the floor the job's own memory stands on.
    piso = statistics.median(b.velmora_uma_vez(b.ini_vazio(), True)[1] for _ in range(3))
    for _ in range(b.repeticoes):
        for quem in random.sample(list(tempos), len(tempos)):
            if os.path.exists(b.saida):
                os.unlink(b.saida)
            if quem == "velmora":
                # Timed without GNU time, whose start-up the empty tick does not hold; then run
                # again under it for the peak.
                for pico_proprio in (False, True):
                    b.limpa_pasta(b.jobs)
                    shutil.copyfile(origem, os.path.join(b.jobs, "GRANDE.TXT"))
                    parede, pico = b.velmora_uma_vez(ini, pico_proprio)
                    b.confere_drenado(b.jobs, ultimo)
                    if pico_proprio:
                        rss.append(pico)
                    else:
                        tempos[quem].append(parede - b.inicio())
            else:
                tempos[quem].append(roda(["cp", origem, b.saida])[0])
    del ultimo
    v, c = statistics.median(tempos["velmora"]), statistics.median(tempos["cp"])
    v = max(v, 1e-4)
    pico = statistics.median(rss)
    # Read in blocks, the job costs no memory of its size: the goal is a flat peak.
    return [
        (f"Raw path: one job of {fmt_mb(tamanho)}, time", fmt_s(v), fmt_s(c) + " (cp)",
         razao(v / c) + " the time", "≤ 3× the time", v / c <= 3),
        (f"Raw path: one job of {fmt_mb(tamanho)}, peak RSS", fmt_mb(pico),
         fmt_mb(piso) + " (no job)", "+" + fmt_mb(pico - piso) + " for the job", "≤ 16 MB",
         pico <= 16 * MB),
    ]


def mede_pasta_cheia(b):
    outros = 200 if b.smoke else 10000
    n = 5 if b.smoke else 100
    cheia = os.path.join(b.raiz, "cheia")
    os.makedirs(cheia)
    for i in range(outros):
        grava(os.path.join(cheia, f"OUTRO{i:05d}.DAT"), b"")
    jobs = [texto_job(i, 60, 4096) for i in range(n)]
    ini_so = b.ini(True, "SO.INI", b.jobs)
    ini_cheia = b.ini(True, "CHEIA.INI", cheia)

    # The tick with the jobs minus the tick without them in the same folder, run back to back:
    # only what the jobs cost, the one listing of the crowded folder at start-up aside.
    def roda_em(pasta, ini):
        for nome in [x for x in os.listdir(pasta) if x.endswith(".TXT")]:
            os.unlink(os.path.join(pasta, nome))
        sem_jobs = b.velmora_uma_vez(ini)[0]
        for i, dados in enumerate(jobs):
            grava(os.path.join(pasta, f"J{i:05d}.TXT"), dados)
        t = b.velmora_uma_vez(ini)[0] - sem_jobs
        b.confere_drenado(pasta, jobs[-1])
        return t

    tempos = {"cheia": [], "so": []}
    for _ in range(b.repeticoes if b.smoke else max(b.repeticoes, 9)):
        for quem in random.sample(list(tempos), len(tempos)):
            tempos[quem].append(roda_em(cheia, ini_cheia) if quem == "cheia"
                                else roda_em(b.jobs, ini_so))
    if len(os.listdir(cheia)) != outros:
        raise FalhaMedida("arquivos que não casam com o padrão sumiram da pasta")
    v = statistics.median(tempos["cheia"]) / n
    p = max(statistics.median(tempos["so"]) / n, 1e-6)
    return [(f"{outros} non-matching files + {n} jobs, time per job", fmt_s(v),
             fmt_s(p) + " (jobs alone)", razao(v / p) + " the time", "≤ 2× the time", v / p <= 2)]


# ---------------------------------------------------------------------------------------------
# Idle footprint: headless, the tray application under Xvfb with a tray host, and cupsd


def inicia_cupsd(b):
    """A private cupsd as the idle reference; None where one cannot run (it needs root)."""
    cupsd = shutil.which("cupsd") or "/usr/sbin/cupsd"
    if os.geteuid() != 0 or not os.access(cupsd, os.X_OK):
        return None
    d = os.path.join(b.raiz, "cups")
    for sub in ("etc", "spool", "tmp", "cache", "state", "log"):
        os.makedirs(os.path.join(d, sub), exist_ok=True)
    os.chmod(os.path.join(d, "tmp"), 0o1777)
    with open(os.path.join(d, "cups-files.conf"), "w") as f:
        f.write(f"ServerRoot {d}/etc\nRequestRoot {d}/spool\nTempDir {d}/tmp\n"
                f"CacheDir {d}/cache\nStateDir {d}/state\nAccessLog {d}/log/access_log\n"
                f"ErrorLog {d}/log/error_log\nPageLog {d}/log/page_log\n"
                f"Printcap {d}/etc/printcap\nSystemGroup root\nUser lp\nGroup lp\n")
    with open(os.path.join(d, "cupsd.conf"), "w") as f:
        f.write(f"Listen {d}/cups.sock\nBrowsing No\nWebInterface No\nIdleExitTimeout 0\n"
                "LogLevel warn\n<Location />\n  Order allow,deny\n  Allow localhost\n</Location>\n")
    proc = subprocess.Popen([cupsd, "-f", "-c", f"{d}/cupsd.conf", "-s", f"{d}/cups-files.conf"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if not espera(lambda: os.path.exists(f"{d}/cups.sock") or not vivo(proc), 10, 0.05) \
            or not vivo(proc):
        termina(proc)
        return None
    return proc


def inicia_xvfb(b):
    for _ in range(5):
        n = random.randint(200, 899)
        if os.path.exists(f"/tmp/.X{n}-lock") or os.path.exists(f"/tmp/.X11-unix/X{n}"):
            continue
        proc = subprocess.Popen(["Xvfb", f":{n}", "-screen", "0", "1024x768x24", "-nolisten",
                                 "tcp", "-noreset"], stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        if espera(lambda: os.path.exists(f"/tmp/.X11-unix/X{n}") or not vivo(proc), 15, 0.05) \
                and vivo(proc):
            return proc, f":{n}"
        termina(proc)
    raise FalhaMedida("o Xvfb não iniciou")


def mede_ocioso(b):
    for ferramenta in ("Xvfb", "trayer"):
        if not shutil.which(ferramenta):
            raise FalhaMedida(f"{ferramenta} não está instalado")
    janela = 4 if b.smoke else 60
    vezes = 1 if b.smoke else 3
    vazia = os.path.join(b.raiz, "ociosa")
    os.makedirs(vazia, exist_ok=True)
    ini = b.ini(True, "OCIOSO.INI", vazia)
    processos = []
    try:
        xvfb, tela = inicia_xvfb(b)
        processos.append(xvfb)
        env_x = dict(b.env, DISPLAY=tela)
        processos.append(subprocess.Popen(
            ["trayer", "--edge", "top", "--align", "right", "--widthtype", "request", "--height",
             "32", "--SetDockType", "true", "--transparent", "false"], env=env_x,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        time.sleep(1)
        medidos = {
            "headless": subprocess.Popen([b.velmora, "--headless", "--ini", ini, "--interval", "3"],
                                         env=b.env, cwd=b.trabalho, stdout=subprocess.DEVNULL,
                                         stderr=subprocess.DEVNULL),
            # With a settings file the tray application starts in the tray, printing every 3 s.
            "bandeja": subprocess.Popen([b.velmora, "--ini", ini], env=env_x, cwd=b.trabalho,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL),
        }
        processos.extend(medidos.values())
        cupsd = inicia_cupsd(b)
        if cupsd:
            medidos["cupsd"] = cupsd
            processos.append(cupsd)
        # Start-up is not idling.
        time.sleep(3)
        cpu = {k: [] for k in medidos}
        rss = {k: [] for k in medidos}
        for _ in range(vezes):
            antes = {k: cpu_segundos(p.pid) for k, p in medidos.items()}
            t0 = time.monotonic()
            time.sleep(janela)
            dt = time.monotonic() - t0
            for k, p in medidos.items():
                if not vivo(p):
                    raise FalhaMedida(f"{k} terminou durante a medida (saída {p.returncode})")
                cpu[k].append((cpu_segundos(p.pid) - antes[k]) / dt * 3600)
                rss[k].append(rss_bytes(p.pid))
    finally:
        for p in reversed(processos):
            termina(p)
    ref_cpu = f"{statistics.median(cpu['cupsd']):.2f} s/h (cupsd)" if "cupsd" in cpu else "n/a"
    ref_rss = fmt_mb(statistics.median(rss["cupsd"])) + " (cupsd)" if "cupsd" in rss else "n/a"
    linhas = []
    for k, nome, limite in (("headless", "velmora --headless", 40), ("bandeja", "tray application",
                                                                     80)):
        c, r = statistics.median(cpu[k]), statistics.median(rss[k])
        linhas.append((f"Idle {janela} s, timer 3 s: {nome}, CPU", f"{c:.2f} s/h", ref_cpu, "—",
                       "≤ 2 s per hour", c <= 2))
        linhas.append((f"Idle {janela} s, timer 3 s: {nome}, RSS", fmt_mb(r), ref_rss, "—",
                       f"≤ {limite} MB", r <= limite * MB))
    return linhas


def mede_latencia(b):
    n = 3 if b.smoke else 15
    pasta = os.path.join(b.raiz, "latencia")
    os.makedirs(pasta, exist_ok=True)
    ini = b.ini(True, "LATENCIA.INI", pasta)
    log = open(os.path.join(b.raiz, "latencia.log"), "w+")
    proc = subprocess.Popen([b.velmora, "--headless", "--ini", ini, "--interval", "1"], env=b.env,
                            cwd=b.trabalho, stdout=log, stderr=subprocess.STDOUT)
    latencias = []
    try:
        if not espera(lambda: "Velmora iniciado" in open(log.name).read() or not vivo(proc), 10,
                      0.01):
            raise FalhaMedida("velmora --headless não iniciou")
        gerador = random.Random(4)
        for i in range(n):
            # Jobs arrive at any moment of the period.
            time.sleep(gerador.uniform(0, 1))
            dados = texto_job(i, 60, 4096)
            job = os.path.join(pasta, f"L{i:03d}.TXT")
            with open(job, "wb") as f:
                f.write(dados)
            t0 = time.monotonic()
            if not espera(lambda: not os.path.exists(job), 10):
                raise FalhaMedida(f"{job} não foi impresso em 10 s")
            latencias.append(time.monotonic() - t0)
            with open(b.saida, "rb") as f:
                if f.read() != dados:
                    raise FalhaMedida("a porta não recebeu o job inteiro")
            if not vivo(proc):
                raise FalhaMedida("velmora --headless terminou")
    finally:
        termina(proc)
        log.close()
    m = statistics.median(latencias)
    return [(f"Pick-up latency, headless, period 1 s ({n} jobs, median)", fmt_s(m), "—", "—",
             "≤ 1.05 s", m <= 1.05)]


def mede_inicio(b):
    return [("Start-up and exit of `velmora --once` (subtracted from the tick times)", fmt_s(b.inicio()), "—",
             "—", "reported", None)]


MEDIDAS = [mede_1000_jobs, mede_3000_jobs, mede_pdf, mede_job_grande, mede_pasta_cheia, mede_ocioso,
           mede_latencia, mede_inicio]


def tabela(linhas, smoke):
    cab = ("Measure", "Velmora", "Peer", "Ratio", "Goal", "Met")
    saida = ["| " + " | ".join(cab) + " |", "|" + "---|" * len(cab)]
    for medida, v, p, r, meta, ok in linhas:
        if ok is None:
            cumprida = "—"
        elif smoke:
            cumprida = "(smoke)"
        else:
            cumprida = "yes" if ok else "**no**"
        saida.append(f"| {medida} | {v} | {p} | {r} | {meta} | {cumprida} |")
    return "\n".join(saida)


def main():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("--velmora", required=True, help="the velmora binary")
    p.add_argument("--copia", required=True, help="the minimal C++ peer (velmora_bench_copia)")
    p.add_argument("--smoke", action="store_true", help="tiny sizes, goals not checked")
    p.add_argument("--repeticoes", type=int, default=0, help="runs per measure (median)")
    p.add_argument("--so", help="run only the measures whose function name contains this")
    args = p.parse_args()
    for binario in (args.velmora, args.copia):
        if not os.access(binario, os.X_OK):
            print(f"desempenho: {binario} não existe ou não é executável", file=sys.stderr)
            return 1

    b = Bancada(args)
    linhas, falhas = [], []
    try:
        for medida in MEDIDAS:
            if args.so and args.so not in medida.__name__:
                continue
            print(f"== {medida.__name__}", file=sys.stderr, flush=True)
            if medida is not mede_inicio:
                b._inicio = None  # measured again beside each measure: the load drifts
            try:
                linhas.extend(medida(b))
            except (FalhaMedida, OSError) as e:
                falhas.append(f"{medida.__name__}: {e}")
                print(f"FALHOU {medida.__name__}: {e}", file=sys.stderr, flush=True)
    finally:
        b.limpa()

    print(f"\n{time.strftime('%Y-%m-%d')} · {os.cpu_count()} cores · "
          f"{os.sysconf('SC_PAGE_SIZE') * os.sysconf('SC_PHYS_PAGES') / 2**30:.0f} GiB · "
          f"{'smoke' if args.smoke else f'median of {b.repeticoes} runs'}\n")
    print(tabela(linhas, args.smoke))
    nao_cumpridas = [l[0] for l in linhas if l[5] is False]
    for falha in falhas:
        print(f"\nmeasure failed: {falha}")
    if not args.smoke:
        for nome in nao_cumpridas:
            print(f"goal not met: {nome}")
    return 1 if falhas or (nao_cumpridas and not args.smoke) else 0


if __name__ == "__main__":
    sys.exit(main())
