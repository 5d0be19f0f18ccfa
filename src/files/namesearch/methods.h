#pragma once
// The HenteProgram methods and their shared building blocks. Each method
// leaves a name ("0000" when nothing matches) and may set Found, FirstPair
// and Extended by its own rule.

#include <string>
#include <string_view>

#include "files/namesearch/find_program_name.h"

namespace zova {

void MethodStandard(MethodContext& c, NameResult& r);         // 0
void MethodOkuma(MethodContext& c, NameResult& r);            // 1
void MethodDobbel(MethodContext& c, NameResult& r);           // 2
void MethodEnkelt(MethodContext& c, NameResult& r);           // 3
void MethodNummer(MethodContext& c, NameResult& r);           // 4
void MethodNummer2(MethodContext& c, NameResult& r);          // 5
void MethodFanucIJK(MethodContext& c, NameResult& r);         // 6
void MethodFanucJK(MethodContext& c, NameResult& r);          // 7
void MethodUniversal(MethodContext& c, NameResult& r);        // 8
void MethodUniversal2(MethodContext& c, NameResult& r);       // 9
void MethodSiemens3(MethodContext& c, NameResult& r);         // 10
void MethodSiemens8(MethodContext& c, NameResult& r);         // 11
void MethodParenteser(MethodContext& c, NameResult& r);       // 12
void MethodOkumaParen(MethodContext& c, NameResult& r);       // 13
void MethodPhilips(MethodContext& c, NameResult& r);          // 14
void MethodFanucKasett(MethodContext& c, NameResult& r);      // 15
void MethodXYZ(MethodContext& c, NameResult& r);              // 16
void MethodSiemensXYZ(MethodContext& c, NameResult& r);       // 17
void MethodMazatrolLangt(MethodContext& c, NameResult& r);    // 18
void MethodMazatrolKort(MethodContext& c, NameResult& r);     // 19
void MethodKommentarer(MethodContext& c, NameResult& r);      // 20
void MethodFaptKommentarer(MethodContext& c, NameResult& r);  // 21
void MethodCincinatti(MethodContext& c, NameResult& r);       // 22
void MethodSiemensIJK(MethodContext& c, NameResult& r);       // 23
void MethodIJK(MethodContext& c, NameResult& r);              // 24
void MethodNummerSerie(MethodContext& c, NameResult& r);      // 25
void MethodSiemensN(MethodContext& c, NameResult& r);         // 26

// Building blocks shared by several methods.
inline bool Holds(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}
inline bool IsFound(std::string_view name) {
  return name != kNoName;
}

// The "(S)(DIR)(NAME)" codes (12, 13, 26).
void ParenSearch(MethodContext& c, NameResult& r, bool fallback, bool numeric);
// Macro calls with I, J, K, F, Q and R words (6, 23, 24).
std::string IJKSearch(MethodContext& c, bool lastLineOnly, std::string_view key);
// X, Y, Z, K, I and J words (16, 17).
std::string XYSearch(MethodContext& c, bool lastLineOnly, std::string_view key);
// ":" and "O" program letters exchanged to match the text (6, 7); sets Found.
std::string AdjustProgramLetter(const MethodContext& c, NameResult& r, std::string_view key);
// Drops everything before the first DC2 (6, 7, 15).
void StartCodeCut(std::string& t);
// Names after a template of "#" name parts and "\" directory parts (8, 9).
std::string TemplateSearch(const MethodContext& c, std::string_view key, std::string_view tmpl);
// Hexadecimal names of FAPT N5545 blocks in the second window (21).
std::string FaptBlocks(const MethodContext& c, NameResult& r);
// ".MIN" and what follows become the program extension (1, 13).
void ReplaceMinExt(const MethodContext& c, std::string& name);
// Method 18 outside its save-mode fallback, with its own maximum length.
std::string MazatrolSearch(const MethodContext& c, std::string_view key, uint8_t maxLen);
bool MazatrolInParen(const MethodContext& c);

}  // namespace zova
