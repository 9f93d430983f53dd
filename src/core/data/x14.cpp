#include "core/data/x14.h"

#include <iterator>

#include "core/text/strings.h"

namespace tarnwick {

namespace {

// One entry of the grouping: a single code (high == nullptr) or an inclusive range.
struct X14Entry {
    const char* low;
    const char* high;
    const char* cls;
};

// Tried in this order; no code lies in two entries.
constexpr X14Entry kX14Table[] = {
    // clang-format off
    // "01"
    {"0100", nullptr, "01"},
    {"0110", "0112", "01"},
    {"0170", "0172", "01"},
    {"0180", nullptr, "01"},
    {"0290", "0292", "01"},
    {"0294", nullptr, "01"},
    {"0296", nullptr, "01"},
    // "02"
    {"0293", nullptr, "02"},
    {"1100", nullptr, "02"},
    {"1110", nullptr, "02"},
    {"1112", "1124", "02"},
    {"1133", "1134", "02"},
    {"1136", nullptr, "02"},
    {"1140", "1142", "02"},
    {"1144", "1147", "02"},
    {"1149", "1150", "02"},
    {"1153", "1158", "02"},
    {"1160", "1163", "02"},
    {"1165", nullptr, "02"},
    {"1169", nullptr, "02"},
    {"1170", nullptr, "02"},
    {"1173", "1175", "02"},
    {"1190", "1192", "02"},
    {"3151", nullptr, "02"},
    {"3161", nullptr, "02"},
    // "03"
    {"0295", nullptr, "03"},
    {"0312", nullptr, "03"},
    {"1180", nullptr, "03"},
    {"1185", "1187", "03"},
    {"1200", nullptr, "03"},
    {"1220", "1227", "03"},
    {"1229", "1232", "03"},
    {"1234", "1238", "03"},
    {"1240", "1242", "03"},
    {"1249", nullptr, "03"},
    // "04"
    {"0310", "0311", "04"},
    {"0313", nullptr, "04"},
    {"2100", nullptr, "04"},
    {"2120", "2127", "04"},
    {"2129", "2140", "04"},
    {"2144", "2145", "04"},
    {"2147", nullptr, "04"},
    {"3132", nullptr, "04"},
    {"3140", nullptr, "04"},
    {"3142", "3143", "04"},
    {"3149", nullptr, "04"},
    {"3120", "3124", "04"},
    {"3126", nullptr, "04"},
    {"3128", "3129", "04"},
    // "05"
    {"0320", "0321", "05"},
    {"0322", nullptr, "05"},
    {"1130", nullptr, "05"},
    {"1135", nullptr, "05"},
    {"2300", nullptr, "05"},
    {"2320", "2328", "05"},
    {"2330", "2333", "05"},
    {"2339", nullptr, "05"},
    {"3100", nullptr, "05"},
    {"3110", nullptr, "05"},
    {"3112", "3114", "05"},
    {"3116", nullptr, "05"},
    {"3119", nullptr, "05"},
    {"3130", "3131", "05"},
    {"3150", nullptr, "05"},
    {"3152", "3157", "05"},
    {"3159", "3160", "05"},
    {"3162", "3163", "05"},
    {"3169", "3170", "05"},
    // "06"
    {"3200", nullptr, "06"},
    {"3210", "3214", "06"},
    {"3220", nullptr, "06"},
    {"3230", "3234", "06"},
    {"3239", "3240", "06"},
    // "07"
    {"0323", nullptr, "07"},
    {"0340", nullptr, "07"},
    {"3300", nullptr, "07"},
    {"3310", nullptr, "07"},
    {"3320", nullptr, "07"},
    {"3330", nullptr, "07"},
    {"3400", nullptr, "07"},
    {"3410", nullptr, "07"},
    {"3420", nullptr, "07"},
    {"4000", nullptr, "07"},
    {"4100", nullptr, "07"},
    {"4130", "4135", "07"},
    {"4200", nullptr, "07"},
    {"4210", "4212", "07"},
    {"4220", "4222", "07"},
    {"4229", nullptr, "07"},
    {"4300", nullptr, "07"},
    {"4310", "4312", "07"},
    {"4320", "4322", "07"},
    {"4330", "4332", "07"},
    {"4334", "4335", "07"},
    {"4339", nullptr, "07"},
    {"4400", nullptr, "07"},
    {"4410", nullptr, "07"},
    {"4420", nullptr, "07"},
    {"4500", nullptr, "07"},
    {"4510", nullptr, "07"},
    {"4600", nullptr, "07"},
    {"4610", "4612", "07"},
    // "08"
    {"5100", nullptr, "08"},
    {"5160", "5164", "08"},
    // "09"
    {"5200", nullptr, "09"},
    {"5210", "5213", "09"},
    {"5220", "5227", "09"},
    {"5230", "5236", "09"},
    {"5240", "5255", "09"},
    {"5260", "5264", "09"},
    {"5270", "5272", "09"},
    {"5274", "5276", "09"},
    {"5279", "5281", "09"},
    {"5283", "5285", "09"},
    {"5290", "5293", "09"},
    {"5299", nullptr, "09"},
    // "10"
    {"6100", nullptr, "10"},
    {"6150", "6154", "10"},
    {"6159", nullptr, "10"},
    // "11"
    {"6314", nullptr, "11"},
    {"6400", nullptr, "11"},
    {"6410", "6416", "11"},
    {"6420", "6422", "11"},
    {"6430", "6432", "11"},
    {"6440", nullptr, "11"},
    {"6450", "6453", "11"},
    {"6460", nullptr, "11"},
    // "12"
    {"5165", nullptr, "12"},
    {"5300", nullptr, "12"},
    {"5310", nullptr, "12"},
    {"5320", nullptr, "12"},
    {"5330", "5332", "12"},
    {"6300", nullptr, "12"},
    {"6310", "6311", "12"},
    {"6313", nullptr, "12"},
    // "13"
    {"7100", nullptr, "13"},
    {"7110", nullptr, "13"},
    {"7120", nullptr, "13"},
    // "14"
    {"7300", nullptr, "14"},
    {"8000", nullptr, "14"},
    {"8100", nullptr, "14"},
    {"8110", nullptr, "14"},
    {"8112", "8114", "14"},
    {"8116", nullptr, "14"},
    {"8118", nullptr, "14"},
    {"8400", nullptr, "14"},
    {"8410", "8419", "14"},
    {"8600", nullptr, "14"},
    // "98"
    {"9000", nullptr, "98"},
    {"9100", nullptr, "98"},
    // clang-format on
};

static_assert(std::size(kX14Table) == 150, "the grouping has 150 entries");

bool Matches(const X14Entry& e, std::string_view code) {
    if (e.high == nullptr) return code == e.low;
    return CompareBytes(e.low, code) <= 0 && CompareBytes(code, e.high) <= 0;
}

}  // namespace

std::string MapToX14(const Classification& clf, std::string_view code) {
    if (IsBlank(code)) return "  ";
    if (code == clf.NotApplicableCode) return "99";
    if (code == clf.MissingDataCode) return "98";
    for (const X14Entry& e : kX14Table) {
        if (Matches(e, code)) return e.cls;
    }
    return "98";
}

}  // namespace tarnwick
