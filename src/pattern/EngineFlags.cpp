#include "EngineFlags.h"

namespace patternkit {
namespace {

namespace classic {
constexpr unsigned long escape_in_lists = 0x1, char_classes = 0x2, intervals = 0x4, limited_ops = 0x8,
                        newline_alt = 0x10, bk_plus_qm = 0x20, bk_braces = 0x40, bk_parens = 0x80, bk_refs = 0x100,
                        bk_vbar = 0x200, use_except = 0x400, literal = 0x1000, icase = 0x2000, nocollate = 0x4000;
}

constexpr unsigned long kClassicMatchBits = 0x3FFF;

}  // namespace

boost::regex_constants::syntax_option_type EngineSyntaxFlags(unsigned long f)
{
    using boost::regbase;
    unsigned r = 0;
    if (f & classic::literal) {
        r = regbase::literal;
    } else if (f & (classic::bk_parens | classic::bk_braces)) {
        r = regbase::basic_syntax_group;
        if (!(f & classic::char_classes))
            r |= regbase::no_char_classes;
        if (!(f & classic::intervals))
            r |= regbase::no_intervals;
        if (!(f & classic::limited_ops)) {
            r |= (f & classic::bk_plus_qm) ? regbase::bk_plus_qm : regbase::emacs_ex;
            if (f & classic::bk_vbar)
                r |= regbase::bk_vbar;
        }
    } else {
        r = regbase::perl_syntax_group;
        if (!(f & classic::bk_refs))
            r |= regbase::no_bk_refs;
    }
    if (!(f & classic::escape_in_lists))
        r |= regbase::no_escape_in_lists;
    if (f & classic::newline_alt)
        r |= regbase::newline_alt;
    if (!(f & classic::use_except))
        r |= regbase::no_except;
    if (f & classic::icase)
        r |= regbase::icase;
    if (!(f & classic::nocollate))
        r |= regbase::collate;
    return static_cast<boost::regex_constants::syntax_option_type>(r);
}

boost::regex_constants::match_flag_type EngineMatchFlags(unsigned long classicFlags)
{
    return static_cast<boost::regex_constants::match_flag_type>(classicFlags & kClassicMatchBits);
}

boost::regex_constants::match_flag_type EngineFormatFlags(int formatType)
{
    switch (formatType) {
    case 1: return boost::regex_constants::format_sed;
    case 2: return boost::regex_constants::format_perl;
    default: return boost::regex_constants::format_all;
    }
}

int ComponentErrorCode(int engineCode)
{
    if (engineCode == 15)
        return 18;
    if (engineCode > 17 || engineCode < 0)
        return 19;
    return engineCode;
}

}  // namespace patternkit
