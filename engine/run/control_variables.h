// The control variables of one analysis: every value the control file can set.
//
// One flat record, laid out in the ten groups of settings the engine works with. Text fields
// are fixed-width std::string values (blank-padded to their width, values cut on assignment);
// one-character flags are char. The defaults and the keyword of every field live in the keyword
// table (keyword_table.cpp); a default-constructed record already holds them, except the
// title, whose default is the control file's name.
#pragma once

#include <cstdint>
#include <string>

#include "engine/run/code_characters.h"

namespace korvelan {

// The tests of the keyword table name fields by pointer to member; the widths are here.
namespace width {
inline constexpr int kFileName = 260;
inline constexpr int kTitle = 60;
inline constexpr int kCodes = 1000;
inline constexpr int kData = 1000;
inline constexpr int kNewScores = 1000;
inline constexpr int kAlphabet = 256;
inline constexpr int kFormat = 512;
inline constexpr int kKeyScores = 512;
inline constexpr int kSelection = 512;
inline constexpr int kTableSelection = 40;
inline constexpr int kCurves = 3;
inline constexpr int kMap = 60;
inline constexpr int kWord = 12;
inline constexpr int kPlural = 13;
}  // namespace width

struct ControlVariables {
    // Gives every field the default of the keyword table.
    ControlVariables();

    // ---- RunControlSettings
    char batch_flag = 'N';          // "B": set from the run's batch mode before the reading
    std::string spfile;             // SPFILE=: the supplementary control file last named

    // ---- InputLayout
    std::string ilfile;             // ILFILE=
    std::string edfile;             // EDFILE=
    std::string mforms;             // MFORMS=
    char delimiter = ' ';           // "DELI" / "SE": blank means fixed columns
    std::string format;             // FORMAT=
    std::int32_t format_field_count = 0;  // A fields counted in FORMAT=
    std::string data_file;          // DATA=
    char item_numbering = ' ';      // "IN" / "ISEQ": "Y" the items carry no labels
    std::int32_t item1 = 0;         // ITEM1=
    std::int32_t itlen = 0;         // ITLEN=
    std::int32_t name1 = 0;         // NAME1=
    std::int32_t namlen = 0;        // NAMLEN=
    std::int32_t ni = 0;            // NI=
    std::int32_t xwide = 0;         // XWIDE=

    // ---- ScoringSpec
    std::string groups_list;        // GROUPS=* list file
    std::string irefer_list;        // IREFER=* list file
    std::string rescore_list;       // RESCORE=* list file
    std::string models_list;        // MODELS=* list file
    std::int32_t key_count = 0;     // highest n of KEYn=
    std::int32_t ivalue_rows = 0;   // IVALUEx= instructions with a value
    std::string alphabet;           // "AL"
    std::string codes;              // CODES=
    std::int32_t codes_length = 0;  // length of the CODES= value
    CodeCharacters code_characters;  // the characters of several bytes the code strings hold
    std::int32_t groups_mode = 0;   // DefinitionMode of GROUPS=
    std::int32_t irefer_mode = 0;   // DefinitionMode of IREFER=
    std::int32_t models_mode = 0;   // DefinitionMode of MODELS=
    std::int32_t rescore_mode = 0; // DefinitionMode of RESCORE= (-1: not given)
    char model_letter = ' ';        // MODELS= given as one letter
    std::string key_scores;         // "KEYS": the score of each key, XWIDE columns each
    std::string new_scores;         // NEWSCR=
    char makekey = ' ';             // MAKEKEY=
    char groups_in_data = ' ';      // "GRP": GROUPS= as a record after &END
    char models_in_data = ' ';      // "MODF": MODELS= as a record after &END
    char rescore_in_data = ' ';     // "RESF": RESCORE= as a record after &END
    std::int32_t catr = 0;          // "CATR"
    std::int32_t categs = 0;        // CATEGS=
    std::int32_t keys_in_data = 0;  // "KEYF": answer-key records after &END
    std::int32_t missing = 0;     // MISSING=

    // ---- SelectionAndAnchoring
    std::string iafile;             // IAFILE=
    std::string iweight;            // IWEIGHT=
    std::string idfile;             // IDFILE=
    std::string pafile;             // PAFILE=
    std::string pweight;            // PWEIGHT=
    std::string pdfile;             // PDFILE=
    std::string pivot;              // PIVOT=
    std::string safile;             // SAFILE=
    std::string sdfile;             // SDFILE=
    char item_anchor_question = ' ';      // "AN" / "IAN"
    char item_deletion_question = ' ';    // "DELQ" / "IDE"
    char person_anchor_question = ' ';    // "PAN"
    char person_deletion_question = ' ';  // "PDE"
    char step_anchor_question = ' ';      // "SAN"
    char step_deletion_question = ' ';    // "SDE"
    char anchor_user_units = ' ';   // "UAN": anchor values are in user units
    std::string iselect;            // ISELECT=
    std::string pselect;            // PSELECT=
    float anchor_scale = 0.0f;      // "UAS"

    // ---- EstimationSettings
    char pai_flag = ' ';            // "PAI"
    char pt_flag = ' ';             // "PT"
    char stb_flag = ' ';            // "STB"
    char stk_flag = ' ';            // "STK" / "STEPK"
    char tar_flag = ' ';            // "TAR"
    char no_flag = ' ';             // "NO"
    char loc_flag = ' ';            // "LOC": "Y", "N" or "L"
    float cut_high = 0.0f;          // CUTHI=
    float cut_low = 0.0f;           // CUTLO=
    float logit_change_limit = 0.0f;  // "LC"
    float extreme_correction = 0.0f;    // "EXTRS" / "MM"
    float residual_limit = 0.0f;    // "RC"
    std::int32_t prox_limit = 0;   // "MP"
    std::int32_t ucon_limit = 0;    // "MU"

    // ---- UserScaling
    float umean = 0.0f;             // UMEAN= / UIMEAN= / UPMEAN=
    float uscale = 0.0f;            // USCALE=
    char umean_on_items = ' ';      // "Y" UMEAN= is the item mean, "N" the person mean
    std::string user_decimals_format = "(F8.2)";

    // ---- EntityWords
    std::string item_word;          // ITEM=
    std::string item_plural;
    std::string person_word;        // PERSON=
    std::string person_plural;

    // ---- ReportSettings
    char box_to_ascii = ' ';        // "AS": every value except 'N' converts box characters
    std::string curves;             // "CUR": three "1"/"0" positions
    char page_control_char = ' ';   // "FORMF"
    std::string table_selection;    // "TAB": 40 positions of '0'/'1'
    char stept_flag = ' ';          // "STEPT"
    std::string title;              // TITLE=
    char ch_flag = ' ';             // "CH"
    char dist_flag = ' ';           // "DIST"
    char heading_option = ' ';      // "HE": 'N' = short Table headings
    char mn_flag = ' ';             // "MN" / "ME"
    char to_flag = ' ';             // "TO"
    char osort = ' ';               // OSORT=
    char ou_flag = ' ';             // "OU"
    std::string imap;               // IMAP=
    std::string pmap;               // PMAP=
    char rea_flag = ' ';            // "REA"
    std::string cfile;              // CFILE=
    std::string clfile;             // CLFILE=
    std::string tfile;              // TFILE=
    float high_end_offset = 0.0f;  // "HI"
    float low_end_offset = 0.0f;   // "LOW"
    float fiti = 0.0f;              // "FITI" / "MFIT2"
    float fitp = 0.0f;              // "FITP" / "MFIT1"
    float xa_range = 0.0f;          // "XA" / "MR"
    float y_range = 0.0f;           // "Y" / "FR"
    std::int32_t iso = 0;           // "ISO"
    std::int32_t t1i = 0;           // "T1I"
    std::int32_t line_width = 0;   // "LI"
    std::int32_t page_length = 0;   // "MAX": 0 = no page breaks
    std::int32_t namlm = 0;         // "NAMLM" / "NAML6" / "NAMELM"
    std::int32_t t1p = 0;           // "T1P"
    std::int32_t pso = 0;           // "PSO"
    std::int32_t user_decimals = 0; // "UD"
    std::string standardized_fit_label = "ZSTD";

    // ---- OutputFileSettings
    char csv = ' ';                 // CSV=: "Y", "N", "," or "T"
    std::string grfile;             // GRFILE=
    std::string gufile;             // GUFILE=
    std::string ifile;              // IFILE=
    std::string isfile;             // ISFILE=
    std::string pfile;              // PFILE=
    std::string rfile;              // RFILE=
    std::string sfile;              // SFILE=
    std::string scfile;             // SCFILE=
    std::string sifile;             // SIFILE=
    std::string xfile;              // XFILE=
    std::string disfile;            // DISFILE=
    std::string icorfile;           // ICORFILE=
    std::string pcorfile;           // PCORFILE=
    char hlines = ' ';              // HLINES=
    float g0zone = 0.0f;           // G0ZONE=
    float g1zone = 0.0f;           // G1ZONE=

    // ---- FurtherAnalysisSettings
    std::string isubtotal;          // ISUBTOTAL=
    std::string psubtotal;          // PSUBTOTAL=
    std::string dpf;                // DPF=
    std::string dif;                // DIF=
    char prcomp = ' ';              // PRCOMP=
    float loading_limit = 0.0f;     // "LOA"
};

}  // namespace korvelan
