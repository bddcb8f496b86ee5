#include "PacoteDados.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>

namespace lumaro {

QByteArray bytesDaImagem(const QByteArray &blob)
{
    // The header that the platform's graphic fields put in front: 01 00 00 01, then the size of the rest.
    if (blob.size() >= 8 && blob.startsWith(QByteArrayView("\x01\x00\x00\x01", 4))) {
        const auto *p = reinterpret_cast<const uchar *>(blob.constData());
        const quint32 resto = quint32(p[4]) | (quint32(p[5]) << 8) | (quint32(p[6]) << 16) | (quint32(p[7]) << 24);
        if (resto == quint32(blob.size() - 8))
            return blob.mid(8);
    }
    return blob;
}

bool ehImagemJpeg(const QByteArray &blob)
{
    QByteArray imagem = bytesDaImagem(blob);
    if (!imagem.startsWith(QByteArrayView("\xFF\xD8", 2)))
        return false;
    QBuffer buffer(&imagem);
    buffer.open(QIODevice::ReadOnly);
    QImageReader leitor(&buffer, "jpeg");
    leitor.setAutoDetectImageFormat(false);
    const QImage i = leitor.read();
    return !i.isNull();
}

} // namespace lumaro
