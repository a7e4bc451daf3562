// Translation of the classic engine flag words into this engine generation's.
//
// The classic syntax word is a set of independent switches; this engine picks a
// syntax group (perl, basic, literal) and gives the remaining bits a meaning per
// group. The translation:
//  - literal: the literal group (only icase still counts).
//  - escaped parentheses or braces (bk_parens or bk_braces): the basic group,
//    with no_char_classes / no_intervals for the missing switches and, unless
//    limited_ops, bk_plus_qm when set or else the emacs extensions (which give
//    unescaped + ? and \w \s \< \>), plus bk_vbar when set.
//  - otherwise the perl group, with no_bk_refs when back-references are off.
//  - in every group: escape_in_lists, nocollate and use_except are inverted,
//    newline_alt and icase carried over.
// Classic combinations this engine cannot express, and what they become:
//  - perl group without char_classes or intervals: classes and {n,m} stay
//    available (this engine has no switch for them outside the basic group);
//  - perl group with limited_ops, bk_plus_qm or bk_vbar: ignored, so + ? | keep
//    their perl meaning (these only make sense with escaped parentheses);
//  - basic group without bk_refs: \1 stays a back-reference;
//  - bk_parens without bk_braces or the reverse: both are taken as escaped.
// Match flags keep their classic values; format types map to format_all,
// format_sed and format_perl.
#pragma once

#include <boost/regex.hpp>

namespace patternkit {

boost::regex_constants::syntax_option_type EngineSyntaxFlags(unsigned long classicFlags);
boost::regex_constants::match_flag_type EngineMatchFlags(unsigned long classicFlags);
// FormatTypes value (0 all, 1 sed, 2 perl) to the engine's format flags.
boost::regex_constants::match_flag_type EngineFormatFlags(int formatType);
// The engine's compile error code as the component reports it.
int ComponentErrorCode(int engineCode);

}  // namespace patternkit
