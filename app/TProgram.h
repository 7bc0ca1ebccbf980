#pragma once
// One release of a product as its release-information file describes it
// (section "Program": "Wersja", "Wydanie", "Wydanie_Dod", "LastUpd").
#include <string>

class TIniFile;

class TProgram {
public:
    // Reads the release from Ini and returns the new Description:
    // "wersja: V , wyd. EX, dd/mm/yy" (or "?" for a missing date).
    // A date that is no date raises its conversion error; Description then
    // holds only the version part and DateText the raw value.
    std::string Load(const TIniFile &Ini);

    // DateText -> Date, and DateText into display form "dd/mm/yy".
    void ConvertDate();

    std::string Description;
    std::string DateText;
    double Date = 0;
};
