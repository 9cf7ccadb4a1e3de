#include "engine/run/keyword_table.h"

#include <cstring>

#include "engine/run/numtext.h"

namespace korvelan {

namespace {

using CV = ControlVariables;
using Tests = std::array<const char*, 3>;
using S = StoreAction;
using C = ChainStage;

constexpr FieldRef none() { return FieldRef{}; }
constexpr FieldRef text(std::string CV::*m, int w) {
    FieldRef f;
    f.text = m;
    f.width = static_cast<std::int16_t>(w);
    return f;
}
constexpr FieldRef flag(char CV::*m) {
    FieldRef f;
    f.flag = m;
    return f;
}
constexpr FieldRef integer(std::int32_t CV::*m) {
    FieldRef f;
    f.integer = m;
    return f;
}
constexpr FieldRef real(float CV::*m) {
    FieldRef f;
    f.real = m;
    return f;
}

constexpr bool kFixed = true;
constexpr int kName = width::kFileName;

// A file-name variable of the file stage.
constexpr KeywordRule file(Tests t, const char* keyword, std::string CV::*m, const char* tag) {
    return {C::File, t, nullptr, keyword, S::FileName, text(m, kName), none(), tag, "", false};
}
// A per-item string read from a list file (only when the value begins with "*").
constexpr KeywordRule list(const char* t, const char* keyword, std::string CV::*m,
                           std::int32_t CV::*mode, const char* tag, const char* def) {
    return {C::File, {t}, nullptr, keyword, S::ListFile, text(m, kName), integer(mode), tag, def, kFixed};
}
constexpr KeywordRule txt(Tests t, const char* keyword, std::string CV::*m, int w, const char* def,
                          S action = S::Plain) {
    return {C::Text, t, nullptr, keyword, action, text(m, w), none(), nullptr, def, false};
}
constexpr KeywordRule flg(Tests t, const char* keyword, char CV::*m, const char* def) {
    return {C::Text, t, nullptr, keyword, S::Plain, flag(m), none(), nullptr, def, false};
}
constexpr KeywordRule rl(Tests t, const char* keyword, float CV::*m, const char* def,
                         S action = S::Plain) {
    return {C::Real, t, nullptr, keyword, action, real(m), none(), nullptr, def, false};
}
constexpr KeywordRule in(Tests t, const char* keyword, std::int32_t CV::*m, const char* def,
                         S action = S::Plain, bool fixed = false) {
    return {C::Integer, t, nullptr, keyword, action, integer(m), none(), nullptr, def, fixed};
}
constexpr KeywordRule second(const char* t, S action) {
    return {C::Second, {t}, nullptr, nullptr, action, none(), none(), nullptr, nullptr, false};
}

constexpr KeywordRule kTable[] = {
    // SPFILE= comes before every other name.
    {C::SpFile, {"SP"}, nullptr, "SPFILE=", S::SpFile, text(&CV::spfile, kName), none(), nullptr, "", false},

    // File names and in-line lists.
    file({"AF", "IAF"}, "IAFILE=", &CV::iafile, "IA"),
    file({"IW"}, "IWEIGHT=", &CV::iweight, "IW"),
    list("GRO", "GROUPS=", &CV::groups_list, &CV::groups_mode, "GR", nullptr),
    list("IR", "IREFER=", &CV::irefer_list, &CV::irefer_mode, "IR", ""),
    list("RESC", "RESCORE=", &CV::rescore_list, &CV::rescore_mode, "RE", ""),
    list("MODE", "MODELS=", &CV::models_list, &CV::models_mode, "MO", ""),
    file({"IL"}, "ILFILE=", &CV::ilfile, "IL"),
    file({"CF"}, "CFILE=", &CV::cfile, "CF"),
    file({"CL"}, "CLFILE=", &CV::clfile, "CL"),
    file({"DF", "IDF"}, "IDFILE=", &CV::idfile, "ID"),
    file({"ED"}, "EDFILE=", &CV::edfile, "ED"),
    file({"MFO"}, "MFORMS=", &CV::mforms, "MF"),
    file({"PAF"}, "PAFILE=", &CV::pafile, "PA"),
    file({"PW"}, "PWEIGHT=", &CV::pweight, "PW"),
    file({"PDF"}, "PDFILE=", &CV::pdfile, "PD"),
    file({"PI"}, "PIVOT=", &CV::pivot, "PI"),
    file({"SAF"}, "SAFILE=", &CV::safile, "SA"),
    file({"SDF"}, "SDFILE=", &CV::sdfile, "SD"),
    file({"ISU"}, "ISUBTOTAL=", &CV::isubtotal, "IS"),
    file({"PSU"}, "PSUBTOTAL=", &CV::psubtotal, "PS"),
    file({"DPF"}, "DPF=", &CV::dpf, "DP"),
    file({"DIF"}, "DIF=", &CV::dif, "DI"),
    file({"TF"}, "TFILE=", &CV::tfile, "TF"),

    // Counts that size the answer keys and the IVALUE= rows.
    {C::Count, {"KEY"}, nullptr, "KEY1=", S::KeyCount, integer(&CV::key_count), none(), nullptr, "0", kFixed},
    {C::Count, {"IV"}, nullptr, "IVALUE=", S::IvalueCount, integer(&CV::ivalue_rows), none(), nullptr, "0", kFixed},

    // Texts and flags.
    flg({"AN", "IAN"}, nullptr, &CV::item_anchor_question, "N"),
    txt({"AL"}, nullptr, &CV::alphabet, width::kAlphabet, ""),
    flg({"AS"}, nullptr, &CV::box_to_ascii, "Y"),
    {C::Text, {"B"}, nullptr, nullptr, S::BatchFlag, flag(&CV::batch_flag), none(), nullptr, nullptr, false},
    {C::Text, {"COD"}, nullptr, "CODES=", S::Codes, text(&CV::codes, width::kCodes), integer(&CV::codes_length),
     nullptr, "01", kFixed},
    flg({"CS"}, "CSV=", &CV::csv, "N"),
    txt({"CUR"}, nullptr, &CV::curves, width::kCurves, "111"),
    {C::Text, {"DELI"}, nullptr, nullptr, S::Separator, flag(&CV::delimiter), none(), nullptr, " ", false},
    flg({"DELQ", "IDE"}, nullptr, &CV::item_deletion_question, "N"),
    txt({"FORMA"}, "FORMAT=", &CV::format, width::kFormat, ""),
    flg({"FORMF"}, nullptr, &CV::page_control_char, "^"),
    txt({"GRF"}, "GRFILE=", &CV::grfile, kName, ""),
    {C::Text, {"GRO"}, nullptr, "GROUPS=", S::GroupsMode, integer(&CV::groups_mode), none(), nullptr, "0", kFixed},
    txt({"GU"}, "GUFILE=", &CV::gufile, kName, ""),
    txt({"IF"}, "IFILE=", &CV::ifile, kName, ""),
    {C::Text, {"IR"}, nullptr, "IREFER=", S::IreferMode, integer(&CV::irefer_mode), none(), nullptr, "0", kFixed},
    txt({"ISF"}, "ISFILE=", &CV::isfile, kName, ""),
    {C::Text, {"ITEM"}, "ITEM1", nullptr, S::EntityWord, text(&CV::item_word, width::kWord),
     text(&CV::item_plural, width::kPlural), nullptr, "ITEM", false},
    txt({"KEYS"}, nullptr, &CV::key_scores, width::kKeyScores, ""),
    {C::Text, {"MODE"}, nullptr, "MODELS=", S::ModelsMode, flag(&CV::model_letter), integer(&CV::models_mode),
     nullptr, "R", kFixed},
    txt({"MS"}, "DATA=", &CV::data_file, width::kData, ""),
    txt({"DA"}, "DATA=", &CV::data_file, width::kData, ""),
    txt({"NE"}, "NEWSCR=", &CV::new_scores, width::kNewScores, ""),
    flg({"PAI"}, nullptr, &CV::pai_flag, "N"),
    flg({"PAN"}, nullptr, &CV::person_anchor_question, "N"),
    flg({"PDE"}, nullptr, &CV::person_deletion_question, "N"),
    {C::Text, {"PE"}, nullptr, nullptr, S::EntityWord, text(&CV::person_word, width::kWord),
     text(&CV::person_plural, width::kPlural), nullptr, "PERSON", false},
    txt({"PF"}, "PFILE=", &CV::pfile, kName, ""),
    flg({"PR"}, "PRCOMP=", &CV::prcomp, "S"),
    flg({"PT"}, nullptr, &CV::pt_flag, "N"),
    {C::Text, {"RESC"}, nullptr, "RESCORE=", S::RescoreMode, integer(&CV::rescore_mode), none(), nullptr, "-1",
     kFixed},
    txt({"RF"}, "RFILE=", &CV::rfile, kName, ""),
    {C::Text, {"SE"}, nullptr, nullptr, S::Separator, flag(&CV::delimiter), none(), nullptr, " ", false},
    txt({"SF"}, "SFILE=", &CV::sfile, kName, ""),
    txt({"SCF"}, "SCFILE=", &CV::scfile, kName, ""),
    flg({"SAN"}, nullptr, &CV::step_anchor_question, "N"),
    flg({"SDE"}, nullptr, &CV::step_deletion_question, "N"),
    txt({"SI"}, "SIFILE=", &CV::sifile, kName, ""),
    flg({"STB"}, nullptr, &CV::stb_flag, "N"),
    flg({"STK", "STEPK"}, nullptr, &CV::stk_flag, "Y"),
    flg({"STEPT"}, nullptr, &CV::stept_flag, "Y"),
    txt({"TAB"}, nullptr, &CV::table_selection, width::kTableSelection, ""),
    flg({"TAR"}, nullptr, &CV::tar_flag, "N"),
    // The title's default is the control file's name, given when the reading starts.
    txt({"TI"}, "TITLE=", &CV::title, width::kTitle, nullptr),
    flg({"UAN"}, nullptr, &CV::anchor_user_units, "Y"),
    flg({"NO"}, nullptr, &CV::no_flag, "N"),
    txt({"XF"}, "XFILE=", &CV::xfile, kName, ""),
    flg({"CH"}, nullptr, &CV::ch_flag, "N"),
    txt({"DISF"}, "DISFILE=", &CV::disfile, kName, ""),
    flg({"DIST"}, nullptr, &CV::dist_flag, "Y"),
    flg({"GRP"}, nullptr, &CV::groups_in_data, "N"),
    flg({"HE"}, nullptr, &CV::heading_option, "Y"),
    flg({"HL"}, "HLINES=", &CV::hlines, "Y"),
    txt({"IC"}, "ICORFILE=", &CV::icorfile, kName, ""),
    flg({"IN", "ISEQ"}, nullptr, &CV::item_numbering, "N"),
    txt({"ISE"}, "ISELECT=", &CV::iselect, width::kSelection, "*", S::ItemSelection),
    flg({"LOC"}, nullptr, &CV::loc_flag, "N"),
    flg({"MAK"}, "MAKEKEY=", &CV::makekey, "N"),
    flg({"MN", "ME"}, nullptr, &CV::mn_flag, "Y"),
    flg({"MODF"}, nullptr, &CV::models_in_data, "N"),
    flg({"TO"}, nullptr, &CV::to_flag, "N"),
    flg({"OS"}, "OSORT=", &CV::osort, " "),
    {C::Text, {"OU"}, nullptr, nullptr, S::SortLetters, flag(&CV::ou_flag), none(), nullptr, "Y", false},
    txt({"IM"}, "IMAP=", &CV::imap, width::kMap, ""),
    txt({"PM"}, "PMAP=", &CV::pmap, width::kMap, ""),
    txt({"PC"}, "PCORFILE=", &CV::pcorfile, kName, ""),
    txt({"PSE"}, "PSELECT=", &CV::pselect, width::kSelection, "*", S::PersonSelection),
    flg({"REA"}, nullptr, &CV::rea_flag, "N"),
    flg({"RESF"}, nullptr, &CV::rescore_in_data, "N"),

    // Reals.
    rl({"CUTH"}, "CUTHI=", &CV::cut_high, "0"),
    rl({"CUTL"}, "CUTLO=", &CV::cut_low, "0"),
    rl({"LC"}, nullptr, &CV::logit_change_limit, "0.005"),
    rl({"HI"}, nullptr, &CV::high_end_offset, "0.25", S::Absolute),
    rl({"LOW"}, nullptr, &CV::low_end_offset, "0.25", S::Absolute),
    rl({"EXTRS", "MM"}, nullptr, &CV::extreme_correction, "0.3", S::ExtremeLimit),
    rl({"FITI", "MFIT2"}, nullptr, &CV::fiti, "2.0"),
    rl({"FITP", "MFIT1"}, nullptr, &CV::fitp, "2.0"),
    rl({"G0", "GO"}, "G0ZONE=", &CV::g0zone, "50"),
    rl({"G1"}, "G1ZONE=", &CV::g1zone, "50"),
    rl({"LOA"}, nullptr, &CV::loading_limit, "0.4", S::Absolute),
    rl({"RC"}, nullptr, &CV::residual_limit, "0.1"),
    {C::Real, {"UM", "UI"}, nullptr, "UMEAN=", S::OriginItems, real(&CV::umean), flag(&CV::umean_on_items), nullptr,
     "0", false},
    {C::Real, {"UP"}, nullptr, "UMEAN=", S::OriginPersons, real(&CV::umean), flag(&CV::umean_on_items), nullptr,
     nullptr, false},
    rl({"UAS"}, nullptr, &CV::anchor_scale, "1.0", S::ZeroMeansOne),
    rl({"US"}, "USCALE=", &CV::uscale, "1.0", S::ZeroMeansOne),
    rl({"XA", "MR"}, nullptr, &CV::xa_range, "0", S::Absolute),
    rl({"Y", "FR"}, nullptr, &CV::y_range, "0", S::Absolute),

    // Integers.
    in({"CATR"}, nullptr, &CV::catr, "0"),
    in({"CATE"}, "CATEGS=", &CV::categs, "0", S::Plain, kFixed),
    {C::Integer, {"EXTRE"}, nullptr, nullptr, S::Ignored, none(), none(), nullptr, nullptr, false},
    {C::Integer, {"EN"}, nullptr, nullptr, S::Ignored, none(), none(), nullptr, nullptr, false},
    in({"ISO"}, nullptr, &CV::iso, "1"),
    in({"ITEM1"}, "ITEM1=", &CV::item1, "0", S::Plain, kFixed),
    in({"ITL"}, "ITLEN=", &CV::itlen, "0", S::Plain, kFixed),
    in({"T1I"}, nullptr, &CV::t1i, "0", S::Absolute),
    in({"KEYF"}, nullptr, &CV::keys_in_data, "0", S::Plain, kFixed),
    in({"LI"}, nullptr, &CV::line_width, "80"),
    in({"MAX"}, nullptr, &CV::page_length, "0"),
    in({"MI"}, "MISSING=", &CV::missing, "255"),
    in({"MP"}, nullptr, &CV::prox_limit, "10"),
    in({"MU"}, nullptr, &CV::ucon_limit, "0"),
    in({"NAME1"}, "NAME1=", &CV::name1, "1"),
    in({"NAMLE", "NAMELE"}, "NAMLEN=", &CV::namlen, "0", S::Plain, kFixed),
    in({"NAMLM", "NAML6", "NAMELM"}, nullptr, &CV::namlm, "0"),
    {C::Integer, {"NC"}, nullptr, nullptr, S::Ignored, none(), none(), nullptr, nullptr, false},
    in({"NI"}, "NI=", &CV::ni, "0", S::Plain, kFixed),
    in({"T1P"}, nullptr, &CV::t1p, "0", S::Absolute),
    in({"PSO"}, nullptr, &CV::pso, "1"),
    in({"UD"}, nullptr, &CV::user_decimals, "2"),
    in({"XW"}, "XWIDE=", &CV::xwide, "1", S::Plain, kFixed),

    // The second reading: per-item strings.
    second("KEY", S::AnswerKey),
    second("IV", S::IvalueRow),
    second("GRO", S::GroupsString),
    second("MODE", S::ModelsString),
    second("IR", S::IreferString),
    second("RESC", S::RescoreString),
};

void apply_default(ControlVariables& cv, const KeywordRule& rule) {
    const char* def = rule.default_value;
    if (!def) return;
    const FieldRef& f = rule.field;
    if (f.text) store_text(cv, f, def);
    if (f.flag) cv.*f.flag = def[0] ? def[0] : ' ';
    if (f.integer) {
        std::int64_t v = 0;
        parse_integer_from_text(def, v);
        cv.*f.integer = static_cast<std::int32_t>(v);
    }
    if (f.real) {
        float v = 0.0f;
        parse_real_from_text(def, v);
        cv.*f.real = v;
    }
    const FieldRef& also = rule.also;
    switch (rule.action) {
        case S::Codes: cv.*also.integer = static_cast<std::int32_t>(std::strlen(def)); break;
        case S::EntityWord: store_text(cv, also, std::string(trim(def)) + "S"); break;
        case S::ModelsMode: cv.*also.integer = 0; break;
        case S::OriginItems: cv.*also.flag = 'Y'; break;
        default: break;
    }
}

}  // namespace

std::span<const KeywordRule> keyword_table() { return kTable; }

bool rule_matches(const KeywordRule& rule, std::string_view name8) {
    if (rule.except && name8.starts_with(rule.except)) return false;
    for (const char* t : rule.tests)
        if (t && name8.starts_with(t)) return true;
    return false;
}

void store_text(ControlVariables& cv, const FieldRef& f, std::string_view value) {
    cv.*f.text = pad_characters(value, static_cast<std::size_t>(f.width));
}

void apply_control_defaults(ControlVariables& cv) {
    for (const KeywordRule& rule : kTable) apply_default(cv, rule);
}

ControlVariables::ControlVariables() {
    apply_control_defaults(*this);
    title = std::string(width::kTitle, ' ');
}

}  // namespace korvelan
