#include "pdf/fonts/charset_differences.h"

namespace pagora::detail {
namespace {

// Each text names, with the standard glyph names, every character that the charset's code page
// defines at codes 128-255; a code number starts each run after an undefined code. The blanks
// are part of the texts (font dictionaries are compared byte for byte).

// Greek (code page 1253). Delta, Omega and the letter mu go by their character numbers: their
// plain names also stand for the increment, ohm and micro signs, which readers extract instead
// (and the ohm sign some substitute fonts lack).
constexpr std::string_view kGreekDifferences =
    "[128 /Euro 130 /quotesinglbase /florin /quotedblbase /ellipsis /dagger /daggerdbl "
    "137 /perthousand 139 /guilsinglleft 145 /quoteleft /quoteright /quotedblleft /quotedblright "
    "/bullet /endash /emdash 153 /trademark 155 /guilsinglright 160 /space /dieresistonos "
    "/Alphatonos /sterling /currency /yen /brokenbar /section /dieresis /copyright "
    "171 /guillemotleft /logicalnot /hyphen /registered /afii00208 /degree /plusminus "
    "/twosuperior /threesuperior /tonos /mu /paragraph /periodcentered /Epsilontonos "
    "/Etatonos /Iotatonos /guillemotright /Omicrontonos /onehalf /Upsilontonos "
    "/Omegatonos /iotadieresistonos /Alpha /Beta /Gamma /uni0394 /Epsilon /Zeta "
    "/Eta /Theta /Iota /Kappa /Lambda /Mu /Nu /Xi /Omicron /Pi /Rho "
    "211 /Sigma /Tau /Upsilon /Phi /Chi /Psi /uni03A9 /Iotadieresis /Upsilondieresis "
    "/alphatonos /epsilontonos /etatonos /iotatonos /upsilondieresistonos /alpha /beta "
    "/gamma /delta /epsilon /zeta /eta /theta /iota /kappa /lambda /uni03BC "
    "/nu /xi /omicron /pi /rho /sigma1 /sigma /tau /upsilon /phi /chi "
    "/psi /omega /iotadieresis /upsilondieresis /omicrontonos /upsilontonos /omegatonos]";

// Turkish (code page 1254)
constexpr std::string_view kTurkishDifferences =
    "[128 /Euro 130 /quotesinglbase /florin /quotedblbase /ellipsis /dagger /daggerdbl "
    "/circumflex /perthousand "
    "/Scaron /guilsinglleft /OE 145 /quoteleft /quoteright /quotedblleft /quotedblright "
    "/bullet /endash /emdash "
    "/tilde /trademark /scaron /guilsinglright /oe 159 /Ydieresis /space /exclamdown /cent "
    "/sterling /currency "
    "/yen /brokenbar /section /dieresis /copyright /ordfeminine /guillemotleft /logicalnot "
    "/hyphen /registered "
    "/macron /degree /plusminus /twosuperior /threesuperior /acute /mu /paragraph "
    "/periodcentered /cedilla "
    "/onesuperior /ordmasculine  /guillemotright /onequarter /onehalf /threequarters "
    "/questiondown /Agrave "
    "/Aacute /Acircumflex /Atilde /Adieresis  /Aring /AE /Ccedilla /Egrave /Eacute "
    "/Ecircumflex /Edieresis "
    "/Igrave /Iacute /Icircumflex /Idieresis /Gbreve /Ntilde /Ograve /Oacute /Ocircumflex "
    "/Otilde /Odieresis "
    "/multiply /Oslash /Ugrave /Uacute /Ucircumflex /Udieresis /Idotaccent /Scedilla "
    "/germandbls /agrave "
    "/aacute /acircumflex /atilde /adieresis /aring /ae /ccedilla /egrave /eacute "
    "/ecircumflex /edieresis "
    "/igrave /iacute /icircumflex /idieresis /gbreve /ntilde /ograve /oacute /ocircumflex "
    "/otilde /odieresis "
    "/divide /oslash /ugrave /uacute /ucircumflex /udieresis /dotlessi /scedilla /ydieresis ]";

// Baltic (code page 1257)
constexpr std::string_view kBalticDifferences =
    "[128 /Euro 130 /quotesinglbase 132 /quotedblbase /ellipsis /dagger /daggerdbl 137 "
    "/perthousand "
    "139 /guilsinglleft 141 /dieresis /caron /cedilla 145 /quoteleft /quoteright /quotedblleft "
    "/quotedblright /bullet /endash /emdash 153 /trademark 155 /guilsinglright 157 /macron "
    "/ogonek 160 /space 162 /cent /sterling /currency 166 /brokenbar /section /Oslash "
    "/copyright /Rcommaaccent /guillemotleft /logicalnot /hyphen /registered "
    "/AE /degree /plusminus /twosuperior /threesuperior /acute /mu /paragraph "
    "/periodcentered /oslash /onesuperior /rcommaaccent /guillemotright /onequarter "
    "/onehalf /threequarters /ae /Aogonek /Iogonek /Amacron /Cacute /Adieresis "
    "/Aring /Eogonek /Emacron /Ccaron /Eacute /Zacute /Edotaccent /Gcommaaccent "
    "/Kcommaaccent /Imacron /Lcommaaccent /Scaron /Nacute /Ncommaaccent /Oacute "
    "/Omacron /Otilde /Odieresis /multiply /Uogonek /Lslash /Sacute /Umacron "
    "/Udieresis /Zdotaccent /Zcaron /germandbls /aogonek /iogonek /amacron /cacute "
    "/adieresis /aring /eogonek /emacron /ccaron /eacute /zacute /edotaccent "
    "/gcommaaccent /kcommaaccent /imacron /lcommaaccent /scaron /nacute /ncommaaccent "
    "/oacute /omacron /otilde /odieresis /divide /uogonek /lslash /sacute "
    "/umacron /udieresis /zdotaccent /zcaron /dotaccent]";

// Cyrillic (code page 1251)
constexpr std::string_view kCyrillicDifferences =
    "[128 /afii10051 /afii10052 /quotesinglbase /afii10100 /quotedblbase /ellipsis /dagger "
    "/daggerdbl "
    "/Euro /perthousand /afii10058 /guilsinglleft /afii10059 /afii10061 /afii10060 "
    "/afii10145 /afii10099 /quoteleft /quoteright /quotedblleft /quotedblright "
    "/bullet /endash /emdash 153 /trademark /afii10106 /guilsinglright /afii10107 "
    "/afii10109 /afii10108 /afii10193 /space /afii10062 /afii10110 /afii10057 "
    "/currency /afii10050 /brokenbar /section /afii10023 /copyright /afii10053 "
    "/guillemotleft /logicalnot /hyphen /registered /afii10056 /degree /plusminus "
    "/afii10055 /afii10103 /afii10098 /mu /paragraph /periodcentered /afii10071 "
    "/afii61352 /afii10101 /guillemotright /afii10105 /afii10054 /afii10102 "
    "/afii10104 /afii10017 /afii10018 /afii10019 /afii10020 /afii10021 /afii10022 "
    "/afii10024 /afii10025 /afii10026 /afii10027 /afii10028 /afii10029 /afii10030 "
    "/afii10031 /afii10032 /afii10033 /afii10034 /afii10035 /afii10036 /afii10037 "
    "/afii10038 /afii10039 /afii10040 /afii10041 /afii10042 /afii10043 /afii10044 "
    "/afii10045 /afii10046 /afii10047 /afii10048 /afii10049 /afii10065 /afii10066 "
    "/afii10067 /afii10068 /afii10069 /afii10070 /afii10072 /afii10073 /afii10074 "
    "/afii10075 /afii10076 /afii10077 /afii10078 /afii10079 /afii10080 /afii10081 "
    "/afii10082 /afii10083 /afii10084 /afii10085 /afii10086 /afii10087 /afii10088 "
    "/afii10089 /afii10090 /afii10091 /afii10092 /afii10093 /afii10094 /afii10095 "
    "/afii10096 /afii10097]";

// Central European (code page 1250)
constexpr std::string_view kCentralEuropeDifferences =
    "[128 /Euro 130 /quotesinglbase 132 /quotedblbase /ellipsis /dagger /daggerdbl 137 "
    "/perthousand /Scaron "
    "/guilsinglleft /Sacute /Tcaron /Zcaron /Zacute 145 /quoteleft /quoteright "
    "/quotedblleft /quotedblright /bullet /endash /emdash 153 /trademark /scaron "
    "/guilsinglright /sacute /tcaron /zcaron /zacute /space /caron /breve "
    "/Lslash /currency /Aogonek /brokenbar /section /dieresis /copyright /Scedilla "
    "/guillemotleft /logicalnot /hyphen /registered /Zdotaccent /degree /plusminus "
    "/ogonek /lslash /acute /mu /paragraph /periodcentered /cedilla /aogonek "
    "/scedilla /guillemotright /Lcaron /hungarumlaut /lcaron /zdotaccent /Racute "
    "/Aacute /Acircumflex /Abreve /Adieresis /Lacute /Cacute /Ccedilla /Ccaron "
    "/Eacute /Eogonek /Edieresis /Ecaron /Iacute /Icircumflex /Dcaron /Dcroat "
    "/Nacute /Ncaron /Oacute /Ocircumflex /Ohungarumlaut /Odieresis /multiply "
    "/Rcaron /Uring /Uacute /Uhungarumlaut /Udieresis /Yacute /Tcommaaccent "
    "/germandbls /racute /aacute /acircumflex /abreve /adieresis /lacute /cacute "
    "/ccedilla /ccaron /eacute /eogonek /edieresis /ecaron /iacute /icircumflex "
    "/dcaron /dcroat /nacute /ncaron /oacute /ocircumflex /ohungarumlaut /odieresis "
    "/divide /rcaron /uring /uacute /uhungarumlaut /udieresis /yacute /tcommaaccent /dotaccent]";

// Western (code page 1252)
constexpr std::string_view kWesternDifferences =
    "[128 /Euro 130 /quotesinglbase /florin /quotedblbase /ellipsis /dagger /daggerdbl "
    "/circumflex /perthousand /Scaron /guilsinglleft /OE 142 /Zcaron 145 /quoteleft "
    "/quoteright /quotedblleft /quotedblright /bullet /endash /emdash /tilde "
    "/trademark /scaron /guilsinglright /oe 158 /zcaron /Ydieresis /space /exclamdown "
    "/cent /sterling /currency /yen /brokenbar /section /dieresis /copyright "
    "/ordfeminine /guillemotleft /logicalnot /hyphen /registered /macron /degree "
    "/plusminus /twosuperior /threesuperior /acute /mu /paragraph /periodcentered "
    "/cedilla /onesuperior /ordmasculine /guillemotright /onequarter /onehalf "
    "/threequarters /questiondown /Agrave /Aacute /Acircumflex /Atilde /Adieresis "
    "/Aring /AE /Ccedilla /Egrave /Eacute /Ecircumflex /Edieresis /Igrave "
    "/Iacute /Icircumflex /Idieresis /Eth /Ntilde /Ograve /Oacute /Ocircumflex "
    "/Otilde /Odieresis /multiply /Oslash /Ugrave /Uacute /Ucircumflex /Udieresis "
    "/Yacute /Thorn /germandbls /agrave /aacute /acircumflex /atilde /adieresis "
    "/aring /ae /ccedilla /egrave /eacute /ecircumflex /edieresis /igrave "
    "/iacute /icircumflex /idieresis /eth /ntilde /ograve /oacute /ocircumflex "
    "/otilde /odieresis /divide /oslash /ugrave /uacute /ucircumflex /udieresis "
    "/yacute /thorn /ydieresis ]";

} // namespace

std::string_view GetCharsetDifferences(int charset) {
    switch (charset) {
    case 161:
        return kGreekDifferences;
    case 162:
        return kTurkishDifferences;
    case 186:
        return kBalticDifferences;
    case 204:
        return kCyrillicDifferences;
    case 238:
        return kCentralEuropeDifferences;
    default:
        return kWesternDifferences;
    }
}

} // namespace pagora::detail
