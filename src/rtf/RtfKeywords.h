#pragma once

#include <QByteArrayView>

#include <array>
#include <cstddef>
#include <cstdint>

namespace rtf {

// The control words the reader acts on. Words not listed are ignored, and an unknown word right
// after \* makes its whole group skipped.
enum class Keyword : unsigned short {
    Unknown,
    SkipDestination, // a destination whose content is never shown (headers, info, styles, ...)
    K_rtf,
    K_ansi,
    K_mac,
    K_pc,
    K_pca,
    K_ansicpg,
    K_deff,
    K_fonttbl,
    K_colortbl,
    K_listtable,
    K_listoverridetable,
    K_field,
    K_fldinst,
    K_fldrslt,
    K_pict,
    K_shppict,
    K_pn,
    K_pntext,
    K_listtext,
    K_pntxta,
    K_pntxtb,
    K_object,
    K_result,
    K_upr,
    K_ud,
    K_f,
    K_fcharset,
    K_cpg,
    K_red,
    K_green,
    K_blue,
    K_plain,
    K_fs,
    K_b,
    K_i,
    K_ul,
    K_ulnone,
    K_uld,
    K_uldb,
    K_uldash,
    K_uldashd,
    K_uldashdd,
    K_ulth,
    K_ulw,
    K_ulwave,
    K_ulhwave,
    K_uldbwave,
    K_ulldash,
    K_ulthd,
    K_ulthdash,
    K_ulthdashd,
    K_ulthdashdd,
    K_ulthldash,
    K_strike,
    K_striked,
    K_cf,
    K_cb,
    K_highlight,
    K_chcbpat,
    K_super,
    K_sub,
    K_nosupersub,
    K_up,
    K_dn,
    K_v,
    K_caps,
    K_scaps,
    K_pard,
    K_par,
    K_line,
    K_tab,
    K_ql,
    K_qr,
    K_qc,
    K_qj,
    K_li,
    K_ri,
    K_fi,
    K_lin,
    K_rin,
    K_sb,
    K_sa,
    K_sl,
    K_slmult,
    K_intbl,
    K_itap,
    K_trowd,
    K_cellx,
    K_trgaph,
    K_trpaddt,
    K_trpaddl,
    K_trpaddb,
    K_trpaddr,
    K_clpadt,
    K_clpadl,
    K_clpadb,
    K_clpadr,
    K_clbrdrt,
    K_clbrdrl,
    K_clbrdrb,
    K_clbrdrr,
    K_clftsWidth,
    K_clwWidth,
    K_trftsWidth,
    K_trwWidth,
    K_tx,
    K_tqr,
    K_tqc,
    K_tqdec,
    K_cell,
    K_row,
    K_nestcell,
    K_nestrow,
    K_page,
    K_emdash,
    K_endash,
    K_bullet,
    K_lquote,
    K_rquote,
    K_ldblquote,
    K_rdblquote,
    K_enspace,
    K_emspace,
    K_qmspace,
    K_zwj,
    K_zwnj,
    K_ltrmark,
    K_rtlmark,
    K_u,
    K_uc,
    K_bin,
    K_ls,
    K_ilvl,
    K_list,
    K_listlevel,
    K_leveltext,
    K_levelnfc,
    K_levelnfcn,
    K_levelstartat,
    K_listid,
    K_listoverride,
    K_pnlvlblt,
    K_pnlvlbody,
    K_pnlvlcont,
    K_pnlvl,
    K_pnstart,
    K_pndec,
    K_pnucltr,
    K_pnlcltr,
    K_pnucrm,
    K_pnlcrm,
    // Picture words, kept together: the reader takes the range as what a picture group may hold.
    K_pngblip,
    K_jpegblip,
    K_emfblip,
    K_wmetafile,
    K_dibitmap,
    K_wbitmap,
    K_macpict,
    K_pmmetafile,
    K_picw,
    K_pich,
    K_picwgoal,
    K_pichgoal,
    K_picscalex,
    K_picscaley,
    K_viewkind,
    K_sectd,
    K_chftn
};

// The keyword table: open addressing, built at compile time. A name is keyed by its length and
// its first eight letters packed in one word, so a lookup compares words instead of strings;
// only the few longer names compare the rest. 16-byte slots keep the table in the first-level
// cache.
namespace keywordtable {

struct Slot
{
    std::uint64_t head = 0;
    unsigned short entry = 0; // which name, for the letters after the eighth
    unsigned char size = 0;   // 0 for a free slot
    Keyword keyword = Keyword::Unknown;
};

inline constexpr size_t kSlots = 512;  // a power of two, over twice the number of names
inline constexpr size_t kHead = 8;     // letters in the packed head
inline constexpr size_t kMaxName = 32; // longer words are never ours (the tokenizer allows any length)

extern const std::array<Slot, kSlots> kTable;

constexpr size_t slotOf(std::uint64_t head, size_t size)
{
    return static_cast<size_t>(((head + size) * 0x9E3779B97F4A7C15ull) >> 55) & (kSlots - 1);
}

// The letters after the eighth, for names that long.
bool sameTail(const Slot &slot, QByteArrayView name);

} // namespace keywordtable

// head: the name's first eight bytes, the first in the lowest bits and zeros after the last (as
// the tokenizer reads them). Inline, as every control word of a note goes through it.
inline Keyword lookupKeyword(QByteArrayView name, std::uint64_t head)
{
    using namespace keywordtable;
    const size_t size = static_cast<size_t>(name.size());
    if (size == 0 || size > kMaxName)
        return Keyword::Unknown;
    for (size_t i = slotOf(head, size);; i = (i + 1) & (kSlots - 1)) {
        const Slot &slot = kTable[i];
        if (slot.size == 0)
            return Keyword::Unknown;
        if (slot.head == head && slot.size == size && (size <= kHead || sameTail(slot, name)))
            return slot.keyword;
    }
}

} // namespace rtf
