// Any bytes given to the packet reader end in a packet or in an Erro; a packet it accepted is
// written back into one it accepts again.
#include "Erros.h"
#include "PacoteDados.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *dados, size_t tamanho)
{
    using namespace lumaro;
    PacoteDados p;
    try {
        p = PacoteDados::ler(QByteArray::fromRawData(reinterpret_cast<const char *>(dados), qsizetype(tamanho)));
    } catch (const Erro &) {
        return 0;
    }
    for (const char *nome : {"NUMERO_AIDF", "OBSERVACAO", "CNPJ_GRAF"}) {
        try {
            p.valor(QString::fromLatin1(nome));
        } catch (const Erro &) {
        }
    }
    QByteArray escrito;
    try {
        escrito = p.escrever();
    } catch (const Erro &) {
        return 0;   // values the writer refuses (a text past its width, say) are fine to refuse
    }
    try {
        const PacoteDados de_novo = PacoteDados::ler(escrito);
        if (de_novo.registros.size() != p.registros.size() || de_novo.campos.size() != p.campos.size())
            std::abort();
    } catch (const Erro &e) {
        std::fprintf(stderr, "o pacote escrito não se lê: %s\n", e.what());
        std::abort();
    }
    return 0;
}
