#include "RtfKeywords.h"

#include <cstdint>
#include <string_view>

namespace rtf {

namespace {

struct Entry
{
    std::string_view name;
    Keyword keyword;
};

constexpr Entry kEntries[] = {
    {"rtf", Keyword::K_rtf},
    {"ansi", Keyword::K_ansi},
    {"mac", Keyword::K_mac},
    {"pc", Keyword::K_pc},
    {"pca", Keyword::K_pca},
    {"ansicpg", Keyword::K_ansicpg},
    {"deff", Keyword::K_deff},
    {"fonttbl", Keyword::K_fonttbl},
    {"colortbl", Keyword::K_colortbl},
    {"listtable", Keyword::K_listtable},
    {"listoverridetable", Keyword::K_listoverridetable},
    {"field", Keyword::K_field},
    {"fldinst", Keyword::K_fldinst},
    {"fldrslt", Keyword::K_fldrslt},
    {"pict", Keyword::K_pict},
    {"shppict", Keyword::K_shppict},
    {"pn", Keyword::K_pn},
    {"pntext", Keyword::K_pntext},
    {"listtext", Keyword::K_listtext},
    {"pntxta", Keyword::K_pntxta},
    {"pntxtb", Keyword::K_pntxtb},
    {"object", Keyword::K_object},
    {"result", Keyword::K_result},
    {"upr", Keyword::K_upr},
    {"ud", Keyword::K_ud},
    {"f", Keyword::K_f},
    {"fcharset", Keyword::K_fcharset},
    {"cpg", Keyword::K_cpg},
    {"red", Keyword::K_red},
    {"green", Keyword::K_green},
    {"blue", Keyword::K_blue},
    {"plain", Keyword::K_plain},
    {"fs", Keyword::K_fs},
    {"b", Keyword::K_b},
    {"i", Keyword::K_i},
    {"ul", Keyword::K_ul},
    {"ulnone", Keyword::K_ulnone},
    {"uld", Keyword::K_uld},
    {"uldb", Keyword::K_uldb},
    {"uldash", Keyword::K_uldash},
    {"uldashd", Keyword::K_uldashd},
    {"uldashdd", Keyword::K_uldashdd},
    {"ulth", Keyword::K_ulth},
    {"ulw", Keyword::K_ulw},
    {"ulwave", Keyword::K_ulwave},
    {"ulhwave", Keyword::K_ulhwave},
    {"uldbwave", Keyword::K_uldbwave},
    {"ulldash", Keyword::K_ulldash},
    {"ulthd", Keyword::K_ulthd},
    {"ulthdash", Keyword::K_ulthdash},
    {"ulthdashd", Keyword::K_ulthdashd},
    {"ulthdashdd", Keyword::K_ulthdashdd},
    {"ulthldash", Keyword::K_ulthldash},
    {"strike", Keyword::K_strike},
    {"striked", Keyword::K_striked},
    {"cf", Keyword::K_cf},
    {"cb", Keyword::K_cb},
    {"highlight", Keyword::K_highlight},
    {"chcbpat", Keyword::K_chcbpat},
    {"super", Keyword::K_super},
    {"sub", Keyword::K_sub},
    {"nosupersub", Keyword::K_nosupersub},
    {"up", Keyword::K_up},
    {"dn", Keyword::K_dn},
    {"v", Keyword::K_v},
    {"caps", Keyword::K_caps},
    {"scaps", Keyword::K_scaps},
    {"pard", Keyword::K_pard},
    {"par", Keyword::K_par},
    {"line", Keyword::K_line},
    {"tab", Keyword::K_tab},
    {"ql", Keyword::K_ql},
    {"qr", Keyword::K_qr},
    {"qc", Keyword::K_qc},
    {"qj", Keyword::K_qj},
    {"li", Keyword::K_li},
    {"ri", Keyword::K_ri},
    {"fi", Keyword::K_fi},
    {"lin", Keyword::K_lin},
    {"rin", Keyword::K_rin},
    {"sb", Keyword::K_sb},
    {"sa", Keyword::K_sa},
    {"sl", Keyword::K_sl},
    {"slmult", Keyword::K_slmult},
    {"intbl", Keyword::K_intbl},
    {"itap", Keyword::K_itap},
    {"trowd", Keyword::K_trowd},
    {"cellx", Keyword::K_cellx},
    {"trgaph", Keyword::K_trgaph},
    {"trpaddt", Keyword::K_trpaddt},
    {"trpaddl", Keyword::K_trpaddl},
    {"trpaddb", Keyword::K_trpaddb},
    {"trpaddr", Keyword::K_trpaddr},
    {"clpadt", Keyword::K_clpadt},
    {"clpadl", Keyword::K_clpadl},
    {"clpadb", Keyword::K_clpadb},
    {"clpadr", Keyword::K_clpadr},
    {"clbrdrt", Keyword::K_clbrdrt},
    {"clbrdrl", Keyword::K_clbrdrl},
    {"clbrdrb", Keyword::K_clbrdrb},
    {"clbrdrr", Keyword::K_clbrdrr},
    {"clftsWidth", Keyword::K_clftsWidth},
    {"clwWidth", Keyword::K_clwWidth},
    {"trftsWidth", Keyword::K_trftsWidth},
    {"trwWidth", Keyword::K_trwWidth},
    {"tx", Keyword::K_tx},
    {"tqr", Keyword::K_tqr},
    {"tqc", Keyword::K_tqc},
    {"tqdec", Keyword::K_tqdec},
    {"cell", Keyword::K_cell},
    {"row", Keyword::K_row},
    {"nestcell", Keyword::K_nestcell},
    {"nestrow", Keyword::K_nestrow},
    {"page", Keyword::K_page},
    {"emdash", Keyword::K_emdash},
    {"endash", Keyword::K_endash},
    {"bullet", Keyword::K_bullet},
    {"lquote", Keyword::K_lquote},
    {"rquote", Keyword::K_rquote},
    {"ldblquote", Keyword::K_ldblquote},
    {"rdblquote", Keyword::K_rdblquote},
    {"enspace", Keyword::K_enspace},
    {"emspace", Keyword::K_emspace},
    {"qmspace", Keyword::K_qmspace},
    {"zwj", Keyword::K_zwj},
    {"zwnj", Keyword::K_zwnj},
    {"ltrmark", Keyword::K_ltrmark},
    {"rtlmark", Keyword::K_rtlmark},
    {"u", Keyword::K_u},
    {"uc", Keyword::K_uc},
    {"bin", Keyword::K_bin},
    {"ls", Keyword::K_ls},
    {"ilvl", Keyword::K_ilvl},
    {"list", Keyword::K_list},
    {"listlevel", Keyword::K_listlevel},
    {"leveltext", Keyword::K_leveltext},
    {"levelnfc", Keyword::K_levelnfc},
    {"levelnfcn", Keyword::K_levelnfcn},
    {"levelstartat", Keyword::K_levelstartat},
    {"listid", Keyword::K_listid},
    {"listoverride", Keyword::K_listoverride},
    {"pnlvlblt", Keyword::K_pnlvlblt},
    {"pnlvlbody", Keyword::K_pnlvlbody},
    {"pnlvlcont", Keyword::K_pnlvlcont},
    {"pnlvl", Keyword::K_pnlvl},
    {"pnstart", Keyword::K_pnstart},
    {"pndec", Keyword::K_pndec},
    {"pnucltr", Keyword::K_pnucltr},
    {"pnlcltr", Keyword::K_pnlcltr},
    {"pnucrm", Keyword::K_pnucrm},
    {"pnlcrm", Keyword::K_pnlcrm},
    {"pngblip", Keyword::K_pngblip},
    {"jpegblip", Keyword::K_jpegblip},
    {"emfblip", Keyword::K_emfblip},
    {"wmetafile", Keyword::K_wmetafile},
    {"dibitmap", Keyword::K_dibitmap},
    {"wbitmap", Keyword::K_wbitmap},
    {"macpict", Keyword::K_macpict},
    {"pmmetafile", Keyword::K_pmmetafile},
    {"picw", Keyword::K_picw},
    {"pich", Keyword::K_pich},
    {"picwgoal", Keyword::K_picwgoal},
    {"pichgoal", Keyword::K_pichgoal},
    {"picscalex", Keyword::K_picscalex},
    {"picscaley", Keyword::K_picscaley},
    {"viewkind", Keyword::K_viewkind},
    {"sectd", Keyword::K_sectd},
    {"chftn", Keyword::K_chftn},
    {"stylesheet", Keyword::SkipDestination},
    {"info", Keyword::SkipDestination},
    {"header", Keyword::SkipDestination},
    {"headerl", Keyword::SkipDestination},
    {"headerr", Keyword::SkipDestination},
    {"headerf", Keyword::SkipDestination},
    {"footer", Keyword::SkipDestination},
    {"footerl", Keyword::SkipDestination},
    {"footerr", Keyword::SkipDestination},
    {"footerf", Keyword::SkipDestination},
    {"footnote", Keyword::SkipDestination},
    {"annotation", Keyword::SkipDestination},
    {"atnid", Keyword::SkipDestination},
    {"atnauthor", Keyword::SkipDestination},
    {"atndate", Keyword::SkipDestination},
    {"atnref", Keyword::SkipDestination},
    {"atnicn", Keyword::SkipDestination},
    {"atrfstart", Keyword::SkipDestination},
    {"atrfend", Keyword::SkipDestination},
    {"xe", Keyword::SkipDestination},
    {"tc", Keyword::SkipDestination},
    {"tcn", Keyword::SkipDestination},
    {"txe", Keyword::SkipDestination},
    {"rxe", Keyword::SkipDestination},
    {"revtbl", Keyword::SkipDestination},
    {"filetbl", Keyword::SkipDestination},
    {"template", Keyword::SkipDestination},
    {"nonshppict", Keyword::SkipDestination},
    {"objdata", Keyword::SkipDestination},
    {"objclass", Keyword::SkipDestination},
    {"themedata", Keyword::SkipDestination},
    {"colorschememapping", Keyword::SkipDestination},
    {"datastore", Keyword::SkipDestination},
    {"latentstyles", Keyword::SkipDestination},
    {"rsidtbl", Keyword::SkipDestination},
    {"generator", Keyword::SkipDestination},
    {"pgdsctbl", Keyword::SkipDestination},
    {"bkmkstart", Keyword::SkipDestination},
    {"bkmkend", Keyword::SkipDestination},
    {"comment", Keyword::SkipDestination},
    {"userprops", Keyword::SkipDestination},
    {"docvar", Keyword::SkipDestination},
    {"xmlnstbl", Keyword::SkipDestination},
    {"mmathPr", Keyword::SkipDestination},
    {"levelnumbers", Keyword::SkipDestination},
    {"listname", Keyword::SkipDestination},
    {"listpicture", Keyword::SkipDestination},
    {"shp", Keyword::SkipDestination},
    {"shpinst", Keyword::SkipDestination},
    {"shprslt", Keyword::SkipDestination},
    {"background", Keyword::SkipDestination},
    {"fldtype", Keyword::SkipDestination},
    {"ftnsep", Keyword::SkipDestination},
    {"ftnsepc", Keyword::SkipDestination},
    {"ftncn", Keyword::SkipDestination},
    {"aftnsep", Keyword::SkipDestination},
    {"aftnsepc", Keyword::SkipDestination},
    {"aftncn", Keyword::SkipDestination},
    {"do", Keyword::SkipDestination},
    {"private", Keyword::SkipDestination},
    {"wgrffmtfilter", Keyword::SkipDestination},
    {"mhtmltag", Keyword::SkipDestination},
    {"htmltag", Keyword::SkipDestination},
    {"blipuid", Keyword::SkipDestination},
    {"picprop", Keyword::SkipDestination},
    {"nonesttables", Keyword::SkipDestination},
};

constexpr size_t kEntryCount = sizeof(kEntries) / sizeof(kEntries[0]);

} // namespace

namespace keywordtable {

namespace {

static_assert(kEntryCount * 2 < kSlots);
static_assert(sizeof(Slot) == 16);

constexpr std::uint64_t headOf(std::string_view name)
{
    std::uint64_t head = 0;
    for (size_t i = 0; i < name.size() && i < kHead; ++i)
        head |= std::uint64_t(static_cast<unsigned char>(name[i])) << (8 * i);
    return head;
}

constexpr bool namesFit()
{
    for (const Entry &e : kEntries) {
        if (e.name.empty() || e.name.size() > kMaxName)
            return false;
    }
    return true;
}
static_assert(namesFit());

} // namespace

constinit const std::array<Slot, kSlots> kTable = [] {
    std::array<Slot, kSlots> table{};
    for (size_t e = 0; e < kEntryCount; ++e) {
        const std::string_view name = kEntries[e].name;
        size_t i = slotOf(headOf(name), name.size());
        while (table[i].size != 0)
            i = (i + 1) & (kSlots - 1);
        table[i] = {headOf(name), static_cast<unsigned short>(e), static_cast<unsigned char>(name.size()),
                    kEntries[e].keyword};
    }
    return table;
}();

bool sameTail(const Slot &slot, QByteArrayView name)
{
    const std::string_view known = kEntries[slot.entry].name;
    for (size_t i = kHead; i < known.size(); ++i) {
        if (known[i] != name[i])
            return false;
    }
    return true;
}

} // namespace keywordtable

} // namespace rtf
