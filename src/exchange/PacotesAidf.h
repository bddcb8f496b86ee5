#pragma once

#include "PacoteDados.h"

#include <QList>
#include <QString>

// The two packets that cross between the municipality's system and the print shop: the AIDF
// request that comes in and the return record that goes out. Field names, kinds and widths are
// the contract with the other system.
namespace lumaro::PacotesAidf {

inline constexpr char16_t kExtensaoPacote[] = u".PrefGraf";   // inbound archive
inline constexpr char16_t kExtensaoDados[] = u".Aidf";        // data packet inside either archive
inline constexpr char16_t kExtensaoRetorno[] = u".Graf";      // outbound archive
inline constexpr char16_t kExtensaoImportado[] = u".Imp";     // inbound archive once handled

// The request, in the order and with the widths of the data module's cdsAIDFEnviGraf.
QList<CampoPacote> camposAidf();
// The return record: exactly these eight fields, in this order.
QList<CampoPacote> camposRetorno();

// Empty in-memory datasets with those definitions.
PacoteDados novoAidf();      // named "cdsAIDFEnviGraf"
PacoteDados novoRetorno();   // named "cdsRetorno"

// The data packet member of an archive: its base name (file name without folder and extension,
// as NomeSemExtensao takes it) followed by ".Aidf". X.PrefGraf holds X.Aidf, and
// 000001234GrafRe.Graf holds 000001234GrafRe.Aidf.
QString nomeMembroDados(const QString &caminhoArquivo);

} // namespace lumaro::PacotesAidf
