#pragma once
// Control IDs of the main form (layout 101).
#include <array>

namespace tarvik::app {

constexpr std::array<std::array<int, 3>, 12> kGridIds{{{1047, 1050, 1052}, {1049, 1051, 1053}, {1054, 1056, 1058},
                                                       {1055, 1057, 1059}, {1060, 1062, 1064}, {1061, 1063, 1065},
                                                       {1066, 1068, 1070}, {1067, 1069, 1071}, {1072, 1074, 1076},
                                                       {1124, 1125, 1126}, {1149, 1150, 1151}, {1154, 1155, 1156}}};
constexpr std::array<int, 12> kUnitIds{1048, 1084, 1085, 1086, 1087, 1088, 1089, 1090, 1091, 1128, 1153, 1158};
constexpr std::array<int, 12> kRowLabelIds{1095, 1096, 1097, 1098, 1099, 1100, 1101, 1102, 1103, 1165, 1152, 1157};
constexpr std::array<int, 3> kPointChecks{1044, 1045, 1046};
// Kv, opening, regime, velocity, copied noise input, noise.
constexpr std::array<std::array<int, 3>, 6> kResultIds{{{1078, 1081, 1093}, {1079, 1082, 1094}, {1080, 1083, 1105},
                                                        {1123, 1129, 1130}, {1127, 1164, 1166}, {1142, 1169, 1173}}};
constexpr std::array<int, 6> kResultLabelIds{1106, 1107, 1108, 1131, 1167, 1174};
constexpr std::array<int, 6> kResultUnitIds{1118, 1119, 1120, 1132, 1172, 1176};
// In the order of kPositionFieldData: Kvs, d, D, pipe outside diameters, walls, 1141.
constexpr std::array<int, 8> kFieldIds{1138, 1109, 1110, 1111, 1112, 1136, 1139, 1141};

}  // namespace tarvik::app
