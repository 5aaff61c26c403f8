#include "Subconjunto.h"

#if VELMORA_HB_SUBSET
#include <hb-subset.h>
#endif

namespace velmora::pdf {

#if VELMORA_HB_SUBSET

// HarfBuzz's subsetter where it is installed: a face of a report is 4 to 15 KB instead of 60.
std::string subconjunto(const FonteOpenType& fonte, const std::vector<char32_t>& unicodes) {
    hb_blob_t* arquivo =
        hb_blob_create(fonte.bytes().data(), static_cast<unsigned>(fonte.bytes().size()),
                       HB_MEMORY_MODE_READONLY, nullptr, nullptr);
    hb_face_t* face = hb_face_create(arquivo, 0);
    hb_blob_destroy(arquivo);
    hb_subset_input_t* pedido = hb_subset_input_create_or_fail();
    std::string bytes;
    if (pedido) {
        hb_set_t* glifos = hb_subset_input_glyph_set(pedido);
        hb_set_t* caracteres = hb_subset_input_unicode_set(pedido);
        for (std::size_t g = 0; g < unicodes.size(); ++g) {
            if (!unicodes[g]) continue;
            hb_set_add(glifos, static_cast<hb_codepoint_t>(g));
            hb_set_add(caracteres, unicodes[g]);
        }
        // A PDF draws glyphs by number: the layout tables only add glyphs and bytes.
        hb_set_t* fora = hb_subset_input_set(pedido, HB_SUBSET_SETS_DROP_TABLE_TAG);
        for (const char* tabela : {"GSUB", "GPOS", "GDEF", "BASE", "JSTF", "MATH", "DSIG"}) {
            hb_set_add(fora, hb_tag_from_string(tabela, 4));
        }
        hb_subset_input_set_flags(pedido, HB_SUBSET_FLAGS_RETAIN_GIDS);
        if (hb_face_t* reduzida = hb_subset_or_fail(face, pedido)) {
            hb_blob_t* saida = hb_face_reference_blob(reduzida);
            unsigned tamanho = 0;
            const char* dados = hb_blob_get_data(saida, &tamanho);
            bytes.assign(dados, tamanho);
            hb_blob_destroy(saida);
            hb_face_destroy(reduzida);
        }
        hb_subset_input_destroy(pedido);
    }
    hb_face_destroy(face);
    return bytes;
}

#else

std::string subconjunto(const FonteOpenType&, const std::vector<char32_t>&) { return {}; }

#endif

}  // namespace velmora::pdf
