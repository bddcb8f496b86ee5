#!/usr/bin/python3
"""Runs the reference decoder/encoder (cds_decode.py) for the C++ tests and answers in JSON.

    oraculo_cds.py CDS_DECODE.py decodificar FILE...      every field, parameter and row of each packet
    oraculo_cds.py CDS_DECODE.py amostra OUT.cds JSON      the decoder's five-field sample packet
    oraculo_cds.py CDS_DECODE.py raros PASTA               packets with the kinds no fixture has
    oraculo_cds.py CDS_DECODE.py log OUT.cds               a small change log: insert, edit, append, delete

Values: {"i": "123"}, {"f": "1.5"}, {"b": true}, {"s": "text"}, {"hex": "..."}, {"d": "2024-01-02"},
{"t": "10:00:00.000"}, {"dt": "2024-01-02T03:04:05.000"}, {"lista": [...]}, nested rows {"linhas": [...]}.
"""
import datetime
import importlib
import json
import os
import sys


def carregar(caminho):
    # Imported from its own folder, as the module it is; that folder is never written to.
    sys.dont_write_bytecode = True
    sys.path.insert(0, os.path.dirname(os.path.abspath(caminho)))
    nome = os.path.splitext(os.path.basename(caminho))[0]
    return importlib.import_module(nome)


def enc(v):
    if isinstance(v, bool):
        return {"b": v}
    if isinstance(v, int):
        return {"i": str(v)}
    if isinstance(v, float):
        return {"f": repr(v)}
    if isinstance(v, (bytes, bytearray)):
        return {"hex": bytes(v).hex()}
    if isinstance(v, str):
        # The platform reads a lone NUL as an empty string.
        return {"s": "" if v == "\0" else v}
    if isinstance(v, datetime.datetime):
        return {"dt": v.strftime("%Y-%m-%dT%H:%M:%S.") + "%03d" % (v.microsecond // 1000)}
    if isinstance(v, datetime.date):
        return {"d": v.isoformat()}
    if isinstance(v, datetime.time):
        return {"t": v.strftime("%H:%M:%S.") + "%03d" % (v.microsecond // 1000)}
    if isinstance(v, list):
        return {"lista": [enc(x) for x in v]}
    raise TypeError("valor sem representação: %r" % (v,))


def valor(f, kind, v):
    if kind == "NULL":
        return {"k": "nulo"}
    if kind == "UNCHANGED":
        return {"k": "inalterado"}
    if kind == "ROWS":
        return {"k": "valor", "v": {"linhas": [[valor(c, k, x) for c, (k, x, _r) in zip(f.children[0], vals)]
                                               for _st, vals in v]}}
    return {"k": "valor", "v": enc(v)}


def campos(fs):
    out = []
    for f in fs:
        d = {"nome": f.name, "tamanho": f.size, "tipo": f.tword, "atributos": f.attrs,
             "parametros": [{"nome": n, "tamanho": s, "tipo": t, "valor": enc(v)} for n, s, t, v in f.params]}
        if f.children:
            d["filhos"] = campos(f.children[0])
        out.append(d)
    return out


def atuais(p):
    """Visible rows, "not changed" values taken back through the log's modifications."""
    log = next((v for n, _s, _t, v in p.params if n == "CHANGE_LOG"), [])
    anterior = {log[i]: log[i + 1] for i in range(0, len(log), 3) if log[i + 2] & 8}
    registros = []
    for n, (status, vals) in enumerate(p.rows, 1):
        if status & 0x23:
            continue
        reg = []
        for i, (f, (kind, v, _r)) in enumerate(zip(p.fields, vals)):
            atual = n
            while kind == "UNCHANGED" and atual in anterior:
                atual = anterior[atual]
                kind, v, _r = p.rows[atual - 1][1][i]
            reg.append(valor(f, "NULL" if kind == "UNCHANGED" else kind, v))
        registros.append(reg)
    return registros


def decodificar(cd, arquivos):
    saida = {}
    for a in arquivos:
        dados = open(a, "rb").read()
        try:
            p = cd.parse_packet(dados)
        except cd.FormatError as e:
            saida[os.path.basename(a)] = {"erro": str(e)}
            continue
        saida[os.path.basename(a)] = {
            "versao": [p.major, p.minor], "propriedades": p.props, "inicioDados": p.reserved,
            "fimMetadados": p.meta_end, "colunas": p.ncols,
            "campos": campos(p.fields),
            "parametros": [{"nome": n, "tamanho": s, "tipo": t, "valor": enc(v)} for n, s, t, v in p.params],
            "linhas": [{"estado": st, "valores": [valor(f, k, v) for f, (k, v, _r) in zip(p.fields, vals)]}
                       for st, vals in p.rows],
            "registros": atuais(p),
        }
    json.dump(saida, sys.stdout)


def amostra(cd, destino, texto):
    d = json.loads(texto)
    reg = {}
    for k, v in d["registro"].items():
        if v is None:
            reg[k] = None
        elif k == "STAMP":
            reg[k] = datetime.datetime.fromisoformat(v)
        elif k == "PIC":
            reg[k] = bytes.fromhex(v)
        else:
            reg[k] = v
    open(destino, "wb").write(cd.encode_sample(reg, d.get("largura", 40), d.get("pendente", False)))


def raros(cd, pasta):
    F, V, A = cd.Field, cd.TF_VARYING, cd.TF_ARRAY

    def texto(nome, largura):
        return F(nome, 1 if largura < 255 else 2, 9 | V, 0, [("WIDTH", 2, 2, largura)])

    def bcd(valor_digitos, precisao, casas, negativo=False):
        b = bytearray(18)
        b[0] = precisao
        b[1] = (0x80 if negativo else 0) | casas
        ds = valor_digitos.rjust(precisao, "0")
        for i, c in enumerate(ds):
            b[2 + i // 2] |= int(c) << (4 if i % 2 == 0 else 0)
        return bytes(b)

    def sqlts(y, mo, d, h, mi, s, frac, tz=None):
        import struct
        b = struct.pack("<hHHHHHI", y, mo, d, h, mi, s, frac)
        return b + (struct.pack("<hh", *tz) if tz else b"")

    # Every kind the program's reader knows but no shared fixture holds.
    fs = [
        F("I8", 1, 1, 0, []), F("I64", 8, 1, 0, []), F("U8", 1, 2, 0, []), F("U16", 2, 2, 0, []),
        F("U32", 4, 2, 0, []), F("B1", 1, 3, 0, []),
        F("PRECO", 10, 5, 0, [("WIDTH", 2, 2, 16), ("DECIMALS", 2, 2, 2)]),
        F("NOME_U", 1, 10 | V, 0, [("WIDTH", 2, 2, 40)]),
        F("SQLTS", 16, 17, 0, []), F("SQLTZ", 20, 36, 0, []),
        F("FIXOS", 4, 11, 0, []), F("VARB", 1, 11 | V, 0, [("WIDTH", 2, 2, 10)]),
        F("MEMO_U", 4, 11 | V, 0, [("SUBTYPE", 2, 9 | V, "WideText")]),
        texto("LONGO", 300),
    ]
    linhas = []
    for n in range(3):
        linhas.append((0, [
            ("VALUE", -5 - n, None), ("VALUE", -(1 << 62) + n, None), ("VALUE", 200 + n, None),
            ("VALUE", 65000 + n, None), ("VALUE", 4000000000 + n, None), ("VALUE", n % 2 == 0, None),
            ("VALUE", None, bcd("123456" + str(n), 16, 2, negativo=(n == 1))),
            ("VALUE", "Olá, 世界 %d" % n, None),
            ("VALUE", None, sqlts(2024, 2, 29, 13, 45, 30, 250 + n)),
            ("VALUE", None, sqlts(2023, 12, 31, 23, 59, 59, 0, (-3, 0))),
            ("VALUE", None, bytes([n, 1, 2, 3])), ("VALUE", bytes([9, 8, n]), None),
            ("VALUE", ("memo ünicode %d" % n).encode("utf-16-le"), None),
            ("VALUE", "x" * (290 + n), None),
        ]))
    linhas.append((0, [("NULL", None, None)] * len(fs)))
    open(os.path.join(pasta, "tipos_raros.cds"), "wb").write(cd.encode_packet(fs, [], linhas))

    # A nested dataset: ITENS holds two fields of its own, with rows inside each master row.
    filho = [F("ITEM", 4, 1, 0, []), texto("DESCR", 20)]
    mestre = F("ITENS", 2, 14 | 0x100 | 0x400, 0, [])
    mestre.children = (filho, [])
    fs = [F("ID", 4, 1, 0, []), mestre, texto("NOTA", 10)]
    linhas = [
        (0, [("VALUE", 1, None), ("ROWS", [(0, [("VALUE", 10, None), ("VALUE", "dez", None)]),
                                           (0, [("VALUE", 11, None), ("NULL", None, None)])], 2),
             ("VALUE", "um", None)]),
        (0, [("VALUE", 2, None), ("ROWS", [], 0), ("NULL", None, None)]),
        (0, [("VALUE", 3, None), ("NULL", None, None), ("VALUE", "três", None)]),
    ]
    open(os.path.join(pasta, "aninhado.cds"), "wb").write(cd.encode_packet(fs, [], linhas))


def log(cd, destino):
    V = cd.TF_VARYING
    fs = [cd.Field("ID", 4, 1, 0, []), cd.Field("NOME", 1, 9 | V, 0, [("WIDTH", 2, 2, 20)]),
          cd.Field("OBS", 4, 11 | V, 0, [("SUBTYPE", 2, 9 | V, "Text")])]
    val = lambda v: ("VALUE", v, None)
    nulo, inalt = ("NULL", None, None), ("UNCHANGED", None, None)
    linhas = [
        (0x05, [val(1), val("antigo"), val(b"obs 1")]),   # 1: inserted, then edited (original)
        (0x0D, [inalt, val("meio"), inalt]),              # 2: first edit of 1, edited again
        (0x0C, [inalt, val("novo"), inalt]),              # 3: current version of 1
        (0x05, [val(2), inalt, nulo]),                    # 4: appended (NOME never assigned), then edited
        (0x0E, [val(3), val("apagado"), nulo]),           # 5: appended, edited, deleted
        (0x0C, [inalt, inalt, val(b"obs 4")]),            # 6: edit of 4
    ]
    params = [("CHANGE_LOG", 4, 2 | cd.TF_ARRAY,
               [1, 0, 4, 2, 1, 8, 3, 2, 8, 4, 0, 4, 5, 0, 4, 6, 4, 8, 5, 0, 2])]
    open(destino, "wb").write(cd.encode_packet(fs, params, linhas))


def main(argv):
    cd = carregar(argv[1])
    if argv[2] == "decodificar":
        decodificar(cd, argv[3:])
    elif argv[2] == "amostra":
        amostra(cd, argv[3], argv[4])
    elif argv[2] == "log":
        log(cd, argv[3])
    elif argv[2] == "raros":
        raros(cd, argv[3])
    else:
        print(__doc__)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
