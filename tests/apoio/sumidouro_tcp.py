#!/usr/bin/env python3
"""A TCP sink for tests: appends every connection's bytes to a file.

Usage: sumidouro_tcp.py PORTA SAIDA PRONTO
Listens on 127.0.0.1:PORTA (0 picks a free port), writes the port number into PRONTO once it
listens, then appends what each connection sends to SAIDA until it is stopped (SIGTERM).
A connection is closed only after its bytes are on file, so a sender that waits for the close
(the CUPS socket backend does) knows they all arrived.
"""
import os
import signal
import socket
import sys


def main():
    if len(sys.argv) != 4:
        sys.stderr.write(__doc__)
        return 2
    porta, saida, pronto = int(sys.argv[1]), sys.argv[2], sys.argv[3]
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))

    servidor = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    servidor.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    servidor.bind(("127.0.0.1", porta))
    servidor.listen(8)
    open(saida, "ab").close()

    temporario = pronto + ".tmp"
    with open(temporario, "w") as f:
        f.write("%d\n" % servidor.getsockname()[1])
    os.replace(temporario, pronto)

    while True:
        conexao, _ = servidor.accept()
        with conexao, open(saida, "ab") as arquivo:
            while True:
                dados = conexao.recv(65536)
                if not dados:
                    break
                arquivo.write(dados)
            arquivo.flush()
            os.fsync(arquivo.fileno())


if __name__ == "__main__":
    sys.exit(main())
