#!/usr/bin/python3
"""Writes CNPJ and CPF numbers judged by python-stdnum, one per line, for the number tests.

Line: kind<TAB>digits<TAB>punctuated<TAB>1 when valid, 0 when not.
kind is cnpj, cpf or outro (a digit count that is neither; always invalid).
The numbers that the program treats apart from the check-digit arithmetic (a CPF of one
repeated digit, a CNPJ whose first twelve digits are zeros) are left out.
"""
import random
import sys

from stdnum.br import cnpj, cpf


def sufixos_validos(modulo, base):
    return [s for s in ('%02d' % n for n in range(100)) if modulo.is_valid(base + s)]


def especial(tipo, numero):
    if tipo == 'cpf':
        return len(set(numero)) == 1
    return numero[:12] == '0' * 12


def gerar(tipo, modulo, tamanho, quantos, sorte, saida):
    validos = invalidos = 0
    while validos < quantos or invalidos < quantos:
        base = ''.join(sorte.choice('0123456789') for _ in range(tamanho - 2))
        bons = sufixos_validos(modulo, base)
        if len(bons) != 1:
            raise SystemExit('stdnum gave %d check pairs for %s' % (len(bons), base))
        bom = base + bons[0]
        if especial(tipo, bom):
            continue
        if validos < quantos:
            saida.append((tipo, bom, modulo.format(bom), 1))
            validos += 1
        if invalidos < quantos:
            # Half wrong check digits, half a changed digit elsewhere.
            if sorte.random() < 0.5:
                ruim = base + sorte.choice([s for s in ('%02d' % n for n in range(100)) if s != bons[0]])
            else:
                i = sorte.randrange(tamanho - 2)
                ruim = bom[:i] + sorte.choice([d for d in '0123456789' if d != bom[i]]) + bom[i + 1:]
            if modulo.is_valid(ruim) or especial(tipo, ruim):
                continue
            saida.append((tipo, ruim, modulo.format(ruim), 0))
            invalidos += 1


def main():
    quantos = int(sys.argv[1]) if len(sys.argv) > 1 else 200
    sorte = random.Random(20240229)
    saida = []
    gerar('cnpj', cnpj, 14, quantos, sorte, saida)
    gerar('cpf', cpf, 11, quantos, sorte, saida)
    for tamanho in list(range(1, 11)) + [12, 13, 15, 16, 20]:
        numero = ''.join(sorte.choice('0123456789') for _ in range(tamanho))
        saida.append(('outro', numero, numero, 0))
    sys.stdout.write(''.join('%s\t%s\t%s\t%d\n' % linha for linha in saida))


if __name__ == '__main__':
    main()
